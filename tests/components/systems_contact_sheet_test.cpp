// The contact sheet of the systems parts: every sensor with its stimulus
// control, every output, the transmitter and receiver, in each state they
// can show (a column each: the control's frames, the outputs' frames), and
// the microcontroller chip's picture, drawn by the parts themselves through
// a design's DrawTree at twice the size.  Written to $WB_SYSTEMS_SHEET, or
// systems_contact_sheet.png in the build folder.
#include "systems_support.h"

#include "components/sensor_switch_base.h"
#include "components/sensor_threshold_base.h"
#include "components/stimulus_picture.h"
#include "components/stimulus_slider.h"
#include "components/system_message.h"
#include "components/systems_pictures.h"
#include "model/circuit/circuit_render.h"
#include "model/display/display.h"
#include "model/display/view.h"
#include "model/display/visual.h"
#include "model/text_qtapp.h"

#include <QPainter>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct SheetRow {
    const char* cls;
    int columns;
    // Puts the part into the state of a column.
    std::function<void(CComponent*, int)> set;
};

void Frame(CComponent* c, int k) { c->m_wStateWord = static_cast<WORD>(k); }

void SliderAt(CComponent* c, int k)
{
    auto* s = ControlOf<CStimulusSlider>(c);
    const int last = s->MaxPosition();
    s->SetPosition(last - k * last / 5);
    c->m_wStateWord = k >= 3 ? 1 : 0; // analogue frame in the later columns
}

void PictureState(CComponent* c, int k)
{
    if (CToggle* t = ControlOf(c)) t->SetState(k);
    static_cast<CSwitchTypeSensor*>(c)->m_nState = k;
}

std::vector<SheetRow> Rows()
{
    std::vector<SheetRow> rows;
    for (const char* cls : {"CTempSensor", "CLightSensor", "CSoundSensor"}) rows.push_back({cls, 6, SliderAt});
    for (const char* cls : {"CPressureSensor", "CSwitchSensor", "CPushSwitchSensor", "CCoinSensor", "CReedSensor",
                            "CTiltSensor", "CMoistureSensor"})
        rows.push_back({cls, 2, PictureState});
    for (const char* cls : {"CSystemHeater", "CSystemLamp", "CSystemAlarm", "CSystemMessage"})
        rows.push_back({cls, 2, Frame});
    rows.push_back({"CSystemCan", 4, Frame});
    rows.push_back({"CSystemMotor", 12, Frame});
    rows.push_back({"CSystem7SLED", 16, Frame});
    rows.push_back({"CSystemASend", 6, Frame});
    rows.push_back({"CSystemAReceive", 4, Frame});
    return rows;
}

constexpr int kLabelW = 150, kCellW = 250, kCellH = 150;

TEST(SystemsContactSheet, EverySystemsPartInEveryState)
{
    EnsureTextGuiApp();
    SystemsBench b;
    const std::vector<SheetRow> rows = Rows();
    int columns = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        const CRuntimeClass* rc = CRuntimeClass::FromName(rows[r].cls);
        ASSERT_NE(rc, nullptr) << rows[r].cls;
        for (int k = 0; k < rows[r].columns; ++k) {
            auto* p = dynamic_cast<CComponent*>(rc->CreateObject());
            ASSERT_NE(p, nullptr) << rows[r].cls;
            // Room on the left for the stimulus control.
            const int x = kLabelW + k * kCellW + 130, y = static_cast<int>(r) * kCellH + 45;
            p->m_rect.SetRect(x, y, x, y);
            p->m_pCircuit = &b.d;
            p->InitVariant(rc);
            p->Initialise();
            b.d.AddChild(p);
            rows[r].set(p, k);
            if (auto* sign = dynamic_cast<CSystemMessage*>(p)) {
                sign->m_dwState = static_cast<DWORD>(k);
                sign->OnPropertyCommand(kSignMessageItem, "Welcome to the show");
            }
        }
        columns = std::max(columns, rows[r].columns);
    }
    CDesignRenderOptions o;
    o.zoom = 2;
    o.area = CRect(0, 0, kLabelW + columns * kCellW, static_cast<int>(rows.size() + 1) * kCellH);
    QImage sheet = RenderDesign(b.d, o);
    // The chip's picture set belongs to the flowchart's part: drawn alone.
    {
        CImageView view(64, 128, ColourRGB(255, 255, 255));
        CDisplay display(&view);
        GetSystemsPicture(SystemsPicture::kChip).DrawWhole(0, 0, 0, 0, 0);
        QPainter painter(&sheet);
        painter.drawImage(QRect((kLabelW + 130) * 2, static_cast<int>(rows.size()) * kCellH * 2 + 20, 128, 256),
                          view.Image());
    }
    {
        QPainter painter(&sheet);
        for (size_t r = 0; r <= rows.size(); ++r) {
            painter.setPen(Qt::black);
            painter.drawText(QPoint(8, static_cast<int>(r) * kCellH * 2 + 80), r < rows.size() ? rows[r].cls : "CChip");
            painter.setPen(QColor(0xC0, 0xC0, 0xC0));
            painter.drawLine(0, static_cast<int>(r) * kCellH * 2, sheet.width(), static_cast<int>(r) * kCellH * 2);
        }
    }
    const char* env = std::getenv("WB_SYSTEMS_SHEET");
    const QString path = env ? QString::fromLocal8Bit(env) : QString(WB_BUILD_DIR "/systems_contact_sheet.png");
    ASSERT_TRUE(sheet.save(path, "PNG")) << path.toStdString();
    std::printf("systems contact sheet: %s\n", path.toLocal8Bit().constData());
}

} // namespace
