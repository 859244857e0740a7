// The part contact sheet: every component class built so far, in every
// orientation it allows (columns) and every state it can show (rows: LED
// off, dim and bright; the fuse intact and blown; the capacitor's charge
// levels; the meters' three ranges; a selected and a burnt-out part), drawn
// by the parts themselves through a design's DrawTree, at twice the size so
// a person can look at it.  Written to $WB_PART_SHEET, or
// part_contact_sheet.png in the build folder (scripts/contact_sheet.sh).
#include "diodes_support.h"
#include "passives_bench.h"

#include "components/capacitor.h"
#include "components/toggle.h"
#include "model/circuit/circuit_render.h"
#include "model/components/explode.h"
#include "model/display/visual.h"

#include <QPainter>
#include <cstdlib>
#include <functional>
#include <string>
#include <gtest/gtest.h>

namespace {

struct SheetRow {
    const char* cls;
    const char* state;
    std::function<void(CComponent*)> set;   // puts the part into the state
};

void Level(CComponent* c, int level) { c->m_wStateWord = static_cast<WORD>(level); }
void Charge(CComponent* c, double q) { static_cast<CCapacitor*>(c)->m_dCharge = q; }
// The part and its control (when it has one) in state 1.
void Operate(CComponent* c)
{
    Level(c, 1);
    for (CPart* k = c->GetFirstChild(); k; k = k->GetNextSibling())
        if (auto* control = dynamic_cast<CToggle*>(k)) control->SetState(1);
}
void Blow(CComponent* c)
{
    c->Explode(2.0, 1.0, 11, 'A');
    c->GetExplosion()->m_wFrameCounter = 0;   // the burst is over
}

std::vector<SheetRow> Rows()
{
    std::vector<SheetRow> rows;
    auto plain = [](CComponent*) {};
    for (const char* cls : {"CResistor", "CVResistor", "CInductor", "CTransformer", "CECapacitor", "CBattery",
                            "CBattery9V", "CVoltRail", "CVSlide", "CVZero", "CEarth", "CRailThru", "CDiode"})
        rows.push_back({cls, "", plain});
    for (const char* cls : {"C741", "CDtype"}) rows.push_back({cls, "", plain});
    for (const char* cls : {"CLDR", "CPot", "CLDR_Lamp", "CThermistor", "CFloatSwitch", "CMotor", "CBuzzer"})
        rows.push_back({cls, "plain", plain});
    rows.push_back({"CLDR_Lamp", "lamp half lit", [](CComponent* c) { Level(c, 10); }});
    rows.push_back({"CFloatSwitch", "full tank", [](CComponent* c) { Level(c, 7); }});
    rows.push_back({"CBuzzer", "sounding", [](CComponent* c) { Level(c, 1); }});
    for (int wave : {0, 1, 2})
        rows.push_back({"CVPulse", wave == 0 ? "sine" : wave == 1 ? "square" : "triangle",
                        [wave](CComponent* c) { Level(c, wave); }});
    rows.push_back({"CFuse", "intact", plain});
    rows.push_back({"CFuse", "blown", Blow});
    for (double q : {0.0, 3e-4, 6e-4, 9e-4, 1.2e-3, -6e-4, 1e300})
        rows.push_back({"CCapacitor", q == 0.0 ? "no charge" : q < 0 ? "-6 levels" : q > 1 ? "huge" : "charged",
                        [q](CComponent* c) { Charge(c, q); }});
    for (const char* led : {"CLED", "CLED_G", "CLED_Y"}) {
        rows.push_back({led, "off", [](CComponent* c) { Level(c, 0); }});
        rows.push_back({led, "dim", [](CComponent* c) { Level(c, 3); }});
        rows.push_back({led, "bright", [](CComponent* c) { Level(c, 10); }});
    }
    for (const char* meter : {"CAmmeter", "CVoltmeter"}) {
        rows.push_back({meter, "units", [](CComponent* c) { Level(c, 0); }});
        rows.push_back({meter, "milli", [](CComponent* c) { Level(c, 1); }});
        rows.push_back({meter, "micro", [](CComponent* c) { Level(c, 2); }});
    }
    rows.push_back({"CResistor", "selected", [](CComponent* c) { c->Select(0x80000); }});
    // The alternate looks (state set after building: the part is rebuilt in
    // its alternate picture by the row's set-up below).
    for (const char* real : {"CResistor", "CVResistor", "CFuse", "CLED", "CLED_G", "CLED_Y"})
        rows.push_back({real, "alternate look", [](CComponent* c) { c->m_wStateWord = 8; }});
    for (const char* large : {"CSPST", "CSPDT", "CPushMake", "CBuzzer"}) {
        rows.push_back({large, "alternate look", [](CComponent* c) { Level(c, 0); }});
        rows.push_back({large, "alternate look on", [](CComponent* c) { Operate(c); }});
    }
    rows.push_back({"CDiode", "burnt out", Blow});
    return rows;
}

constexpr int kCellW = 150, kCellH = 150, kLabelW = 170;

TEST(DrawContactSheet, EveryPartInEveryOrientationAndState)
{
    EnsureTextGuiApp();
    CCircuit d;
    d.CreateMissingGroups();
    d.SetOptionBits(OPT_SIMULATE, true);
    const std::vector<SheetRow> rows = Rows();
    std::vector<QString> labels;
    int columns = 0, drawn = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        const CRuntimeClass* rc = CRuntimeClass::FromName(rows[r].cls);
        ASSERT_NE(rc, nullptr) << rows[r].cls;
        labels.push_back(QStringLiteral("%1 %2").arg(rows[r].cls, rows[r].state));
        int column = 0;
        for (int o = 0; o < 8; ++o) {
            std::unique_ptr<CObject> made(rc->CreateObject());
            auto* probe = dynamic_cast<CComponent*>(made.get());
            ASSERT_NE(probe, nullptr);
            int mask = probe->m_nOrientationMask;
            if (probe->m_pVisual) mask &= probe->m_pVisual->GetOrientationMask();
            if (!(mask & (1 << o))) continue;
            auto* p = static_cast<CComponent*>(made.release());
            const int x = kLabelW + column * kCellW + 40, y = static_cast<int>(r) * kCellH + 40;
            p->m_rect.SetRect(x, y, x, y);
            p->m_pCircuit = &d;
            if (std::string(rows[r].state).rfind("alternate look", 0) == 0) p->UseAlternateLook();
            p->InitVariant(rc);
            p->Initialise();
            p->SetOrientation(o, p->GetOrientation(), 0, nullptr);
            d.AddChild(p);
            rows[r].set(p);
            EXPECT_EQ(p->GetOrientation(), o) << rows[r].cls;
            ++column;
            ++drawn;
        }
        columns = std::max(columns, column);
    }
    CDesignRenderOptions o;
    o.zoom = 2;
    o.area = CRect(0, 0, kLabelW + columns * kCellW, static_cast<int>(rows.size()) * kCellH);
    QImage sheet = RenderDesign(d, o);
    {
        QPainter painter(&sheet);
        for (size_t r = 0; r < labels.size(); ++r) {
            painter.drawText(QPoint(8, static_cast<int>(r) * kCellH * 2 + 80), labels[r]);
            painter.setPen(QColor(0xC0, 0xC0, 0xC0));
            painter.drawLine(0, static_cast<int>(r) * kCellH * 2, sheet.width(), static_cast<int>(r) * kCellH * 2);
            painter.setPen(Qt::black);
        }
    }
    EXPECT_GT(drawn, static_cast<int>(rows.size()));
    const char* env = std::getenv("WB_PART_SHEET");
    const QString path = env ? QString::fromLocal8Bit(env) : QString(WB_BUILD_DIR "/part_contact_sheet.png");
    ASSERT_TRUE(sheet.save(path, "PNG")) << path.toStdString();
    std::printf("part contact sheet: %s\n", path.toLocal8Bit().constData());
}

} // namespace
