#include "model/circuit/page_mark.h"

#include "model/display/visual.h"

WB_IMPLEMENT_SERIAL(CSpecial, "CPart", 3)

namespace {

constexpr int kSize = 32;

CVisual& PageMarkPicture()
{
    static CVisual picture(0, 0, 234, 1, 0, 0, kSize, kSize);
    return picture;
}

} // namespace

CSpecial::CSpecial() : CPart(CRect(4, 4, 4 + kSize, 4 + kSize)) {}

int CSpecial::Draw(DWORD flags)
{
    PageMarkPicture().DrawWhole(m_rect.left, m_rect.top, 0, 0, 0);
    return CPart::Draw(flags);
}
