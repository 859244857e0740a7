#include "app/opamp_dialog.h"

#include "platform/strings.h"
#include "platform/text1252.h"

#include <QFormLayout>
#include <QLineEdit>

namespace {
constexpr int kTemplateId = 139;
constexpr unsigned kStrCaption = 62102;
constexpr unsigned kStrPositive = 62103;
constexpr unsigned kStrNegative = 62104;
} // namespace

COpampDialog::COpampDialog(int& positive, int& negative, QWidget* parent)
    : CSettingsDialog(kTemplateId, FromWindows1252(LoadResString(kStrCaption)), parent), m_positive(positive),
      m_negative(negative)
{
    m_plus = AddEdit(Form(), 1000, kStrPositive, QString::number(positive));
    m_minus = AddEdit(Form(), 1001, kStrNegative, QString::number(negative));
}

bool COpampDialog::Exchange()
{
    long long p = 0, n = 0;
    if (!ReadInt(m_plus, 0, kOpampSupplyMax, &p) || !ReadInt(m_minus, 0, kOpampSupplyMax, &n)) return false;
    m_positive = static_cast<int>(p);
    m_negative = static_cast<int>(n);
    return true;
}

CQtOpampDialogHost::CQtOpampDialogHost(QWidget* parent) : m_parent(parent), m_previous(COpampDialogHost::Install(this))
{
}

CQtOpampDialogHost::~CQtOpampDialogHost()
{
    if (COpampDialogHost::Current() == this) COpampDialogHost::Install(m_previous);
}

bool CQtOpampDialogHost::Edit(int* positive, int* negative)
{
    int p = *positive, n = *negative;
    COpampDialog dialog(p, n, m_parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    *positive = p;
    *negative = n;
    return true;
}
