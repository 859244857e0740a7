#include "model/parts/controlitem.h"

#include "platform/strings.h"

#include <string>

CString SpinCommandText(int amount, bool down)
{
    CString text = down ? "-" : "+";
    text += std::to_string(amount < 0 ? -amount : amount);
    return text;
}

int SpinAmount(const CString& text)
{
    if (text.size() < 2 || (text[0] != '+' && text[0] != '-')) return 0;
    int n = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9' || n > 100000) return 0;
        n = n * 10 + (text[i] - '0');
    }
    return text[0] == '-' ? -n : n;
}

int DefaultItemWidth(int type)
{
    static const int widths[] = {48, 48, 16, 45, 45, 6, 40, 40, 48, 48};
    return type >= 0 && type <= 9 ? widths[type] : 48;
}

CControlItem::CControlItem(int type_, unsigned labelId, int id_, int width_)
    : CControlItem(type_, labelId ? LoadResString(labelId) : CString(), id_, width_)
{
}

CControlItem::CControlItem(int type_, const CString& label_, int id_, int width_)
    : type(type_), label(label_), width(width_ == -1 ? DefaultItemWidth(type_) : width_), id(id_)
{
    SetDefaultFlags();
}

CControlItem::CControlItem(int type_, const CString& label_, int id_, int width_, uint32_t options_)
    : type(type_), label(label_), width(width_ == -1 ? DefaultItemWidth(type_) : width_), id(id_),
      options(options_)
{
}

void CControlItem::SetDefaultFlags()
{
    options = (type == CI_TOOLBUTTON || type == CI_PUSHBUTTON) ? 0u : uint32_t(CIO_EDIT_LOCKED);
}

int UnitPictureBitmap(const CString& label)
{
    static const struct {
        const char* name;
        int bitmap;
    } pictures[] = {
        {"Ohms", 355},     {"hFE", 356},     {"lambda", 5000}, {"theta", 5001},
        {"delta", 5002},   {"diameter", 5003}, {"radius", 5004}, {"angle", 5006},
        {"f", 5005},       {"n", 5008},      {"length", 5007}, {"rays", 5009},
    };
    for (const auto& p : pictures)
        if (label == p.name) return p.bitmap;
    return 0;
}

bool CControlItemList::Add(const CControlItem& item)
{
    if (m_nCount >= kCapacity) return false;
    m_items[m_nCount++] = item;
    return true;
}

int CControlItemList::FindById(int id) const
{
    for (int i = 0; i < m_nCount; ++i)
        if (m_items[i].id == id) return i;
    return -1;
}

void CControlItemList::SetItemText(int id, const CString& text, int width)
{
    int i = FindById(id);
    if (i < 0) return;
    m_items[i].label = text;
    if (width != -1) m_items[i].width = width;
}

void CControlItemList::SetItemTextId(int id, unsigned stringId, int width)
{
    SetItemText(id, LoadResString(stringId), width);
}

void CControlItemList::AddStandardItems(int listType)
{
    m_nOption1 = 1;
    m_nOption2 = 0;
    m_nOption3 = 1;
    const CString units = LoadResString(36568);
    switch (listType) {
    case 0:
    case 2:
        Add(CControlItem(CI_EDIT, CString(), 36053, 48));
        Add(CControlItem(CI_SPIN, CString(), 36054, 16));
        Add(CControlItem(CI_EDIT, CString(), 36055, 24));
        Add(CControlItem(CI_SPIN, CString(), 36056, 16));
        if (listType == 0)
            Add(CControlItem(CI_STATIC, units, 36057, 24));
        else
            Add(CControlItem(CI_UNITPICTURE, units, 36057, 32));
        break;
    case 1:
        Add(CControlItem(CI_STATIC, CString(), 36052, 60));
        Add(CControlItem(CI_EDIT, CString(), 36053, 48));
        Add(CControlItem(CI_SPIN, CString(), 36054, 16));
        Add(CControlItem(CI_STATIC, units, 36057, 24));
        Add(CControlItem(CI_STATIC, CString(), 36058, 20));
        Add(CControlItem(CI_EDIT, CString(), 36059, 48));
        Add(CControlItem(CI_SPIN, CString(), 36060, 16));
        Add(CControlItem(CI_STATIC, CString(), 36063, 24));
        break;
    case 3:
        Add(CControlItem(CI_STATIC, CString(), 36052, 60));
        Add(CControlItem(CI_EDIT, CString(), 36053, 48));
        Add(CControlItem(CI_STATIC, units, 36057, 24));
        Add(CControlItem(CI_STATIC, CString(), 36058, 20));
        Add(CControlItem(CI_EDIT, CString(), 36059, 48));
        Add(CControlItem(CI_STATIC, CString(), 36063, 24));
        break;
    default:
        break;
    }
}
