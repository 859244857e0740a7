#include "app/rate_pane.h"

#include "model/circuit/circuit.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"
#include "platform/text1252.h"

namespace {
constexpr uint32_t kStrRateLabel = 280;
constexpr uint32_t kStrPaused = 36580;
} // namespace

QString CRatePane::Text(const CCircuit* design)
{
    const QString blank(11, QLatin1Char(' '));
    if (!design) return blank;
    if (design->IsPaused()) return FromWindows1252(LoadResString(kStrPaused));
    const double r = design->GetUpdateRate();
    if (r >= 4.99 && r <= 5.01) return blank;
    if (r == m_rate) return m_text;
    if (!m_labelRead) {
        m_label = FromWindows1252(LoadResString(kStrRateLabel));
        while (m_label.endsWith(QLatin1Char(' '))) m_label.chop(1);
        m_labelRead = true;
    }
    QString number = FromWindows1252(FormatValueWithPrefix(r, false, false, true, false, false));
    while (number.startsWith(QLatin1Char(' '))) number.remove(0, 1);
    m_rate = r;
    m_text = m_label + QStringLiteral("  ") + number + QStringLiteral("Hz");
    ++m_formats;
    return m_text;
}
