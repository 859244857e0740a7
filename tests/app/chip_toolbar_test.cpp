// The microcontroller's property toolbar in the real main window: every
// label shows its whole text ("Running", "Microcontroller Class:"), however
// narrow a width the part asks for.
#include "app/control_toolbar.h"
#include "model/parts/catalogue.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace {

constexpr int kAddChip = 33865;

class ChipToolbar : public CanvasWindowTest {};

} // namespace

TEST_F(ChipToolbar, LabelsShowTheirWholeText)
{
    int extra = 0;
    auto* chip = dynamic_cast<CPart*>(PartCatalogue::Get().CreateById(kAddChip, nullptr, &extra));
    ASSERT_NE(chip, nullptr);
    ASSERT_TRUE(m_view->Controller().AddPartAtOnce(chip, extra));
    static_cast<CCanvasHost*>(m_view)->ShowPartProperties(chip);
    m_app->GetMainFrame()->show();
    QCoreApplication::processEvents();
    CControlToolBar* bar = m_app->GetMainFrame()->ControlBar();
    ASSERT_EQ(bar->Part(), chip);
    QStringList texts;
    for (QLabel* label : bar->findChildren<QLabel*>()) {
        if (label->objectName().isEmpty() || label->text().trimmed().isEmpty()) continue;
        texts << label->text().trimmed();
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_GE(label->contentsRect().width(), needed) << label->text().toStdString();
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Running"))) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Microcontroller Class:"))) << texts.join(QLatin1Char('|')).toStdString();
    SaveForShots("chip.zrn");
}
