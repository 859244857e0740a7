#include "components/system_block.h"

#include "model/display/visual.h"

void CSystemBlock::TakePicture(SystemsPicture picture)
{
    m_pVisual = &GetSystemsPicture(picture);
    m_nOrientationMask = m_pVisual->GetOrientationMask();
}

void CSystemBlock::CreateChildren()
{
    if (m_terminals.empty()) CreateTerminals(0);
}

void CSystemBlock::ShowFrame(int frame)
{
    m_wStateWord = static_cast<WORD>(frame);
    Draw(GetDrawFlags() | 0x4);
}

void CSystemBlock::SerializeInt(CArchive& ar, int& value)
{
    if (ar.IsStoring()) {
        ar << static_cast<LONG>(value);
        return;
    }
    LONG v = 0;
    ar >> v;
    value = v;
}
