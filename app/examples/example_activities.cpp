#include "app/examples/example_activities.h"

#include "app/publish/picture.h"
#include "app/tesk_item.h"
#include "components/ammeter.h"
#include "components/battery.h"
#include "components/capacitor.h"
#include "components/component_kit.h"
#include "components/led.h"
#include "components/resistor.h"
#include "components/spst.h"
#include "components/voltmeter.h"
#include "model/circuit/circuit.h"
#include "model/components/terminal.h"
#include "model/components/wire.h"
#include "model/designfile/design_file.h"
#include "model/text/textlabel.h"
#include "platform/text1252.h"

#include <QDir>

#include <type_traits>
#include <utility>

#include <memory>

namespace {

// One design being laid out.
class CSheet {
public:
    CSheet() : m_design(std::make_unique<CCircuit>()) { m_design->SetPageRect(0, 0, 800, 600); }

    template <class T>
    T* Add(int x, int y, double value = 0)
    {
        auto* p = new T;
        p->m_rect = CRect(x, y, x, y);
        p->m_pCircuit = m_design.get();
        // A switch lies as the Add menu lays it, its lever clear of the pins
        // (standing, the lever would sit under a pin and its wire).
        if constexpr (std::is_base_of_v<CSPST, T>) p->InitVariant(p->GetRuntimeClass());
        p->Initialise();
        m_design->AddChild(p);
        p->Drop(m_design.get());
        if (value != 0)
            if (CValue* label = ValueLabelOf(p)) label->SetBaseValue(value);
        return p;
    }
    // A wire from one terminal to another: down (or up) to a lane, along
    // it and on to the other terminal.
    void Wire(CTerminal* a, CTerminal* b, int lane)
    {
        const CPoint pa = a->GetOuterEnd(), pb = b->GetOuterEnd();
        Segment(pa, CPoint(pa.x, lane));
        Segment(CPoint(pa.x, lane), CPoint(pb.x, lane));
        Segment(CPoint(pb.x, lane), pb);
    }
    CTextLabel* Text(int x, int y, const char* text, int width = 360)
    {
        auto* label = new CTextLabel(m_design.get(), CPoint(x, y), nullptr);
        label->SetRect(CRect(x, y, x + width, y + 22));
        label->rtf.SetText(text);
        label->SetText(label->rtf.text.c_str());
        m_design->AddChild(label);
        label->AttachToCircuit(m_design.get());
        return label;
    }
    // A label into which the pupil types the answer of question n.
    CTextLabel* Question(int x, int y, WORD n, const char* answer)
    {
        CTextLabel* label = Text(x, y, "", 120);
        label->ApplyQuestionSettings(n, answer, 2, CResponseMap(), true);
        // As an author's Locked Constraints would: the pupil may select it
        // and change its text although the page is locked.
        label->ModifyFlags16(PF_SELECTABLE_LOCKED | PF_MOVABLE_LOCKED, true);
        return label;
    }
    CPicture* Picture(int x, int y, const char* builtIn)
    {
        auto* p = new CPicture;
        p->m_rect = CRect(x, y, x, y);
        m_design->AddChild(p);
        p->AttachToCircuit(m_design.get());
        p->document.OpenByName(builtIn, CString());
        p->FitToPicture();
        return p;
    }
    // Published: questions answered, nothing edited.
    void Publish(bool locked)
    {
        m_design->m_dwPermissions &= ~DWORD(2);
        if (locked) m_design->SetOptionBits(0x4000, true);
    }
    bool Save(const QString& path, QStringList& written)
    {
        m_design->m_fileExtras.range.CheckQuestionNumbers();
        const std::vector<uint8_t> bytes = CTeskItem::WriteDesign(m_design.get(), true);
        if (!SaveBytesSafely(ToWindows1252(path), bytes)) return false;
        written << path;
        return true;
    }
    CCircuit* Design() const { return m_design.get(); }

private:
    void Segment(CPoint a, CPoint b)
    {
        if (a == b) return;
        auto* w = new CWire(a, b);
        m_design->AddChild(w);
        m_design->JoinAt(w, 0);
        m_design->JoinAt(w, 1);
    }
    std::unique_ptr<CCircuit> m_design;
};

// Answer pictures A, B and C of a question; `correct` is 0, 1 or 2.
void AnswerPictures(CSheet& s, int x, int y, WORD n, const char* const texts[3], int correct)
{
    static const char* const kPictures[] = {"<LOCAL>=ICONS\\ANSWER:A", "<LOCAL>=ICONS\\ANSWER:B",
                                            "<LOCAL>=ICONS\\ANSWER:C"};
    for (int i = 0; i < 3; ++i) {
        CPicture* p = s.Picture(x, y + i * 48, kPictures[i]);
        p->options.answerPicture = 1;
        p->options.buttonFrame = 1;
        p->options.questionNumber = n;
        p->options.correctAnswer = i == correct;
        p->question.number = n;
        p->question.correctAnswer = texts[i];
        p->question.kind = i == correct ? 2 : 1;
        p->FitToPicture();
        s.Text(x + 52, y + i * 48 + 10, texts[i], 200);
    }
}

// A cell, a resistor and an ammeter in one loop.
void OhmsLawCircuit(CSheet& s, int x, int y)
{
    auto* cell = s.Add<CBattery>(x, y + 60, 6.0);
    auto* r = s.Add<CResistor>(x + 140, y, 1000.0);
    auto* meter = s.Add<CAmmeter>(x + 280, y + 60);
    s.Wire(cell->GetTerminal(0), r->GetTerminal(0), y - 20);
    // The resistor stands upright: its lower end goes down to the meter's level.
    s.Wire(r->GetTerminal(1), meter->GetTerminal(0), meter->GetTerminal(0)->GetOuterEnd().y);
    s.Wire(meter->GetTerminal(1), cell->GetTerminal(1), y + 160);
}

bool OhmsLaw(const QDir& folder, QStringList& written)
{
    CSheet page1;
    page1.Text(40, 20, "Ohm's law: the current through a resistor is the voltage across it divided by its resistance.",
               620);
    OhmsLawCircuit(page1, 80, 120);
    page1.Text(40, 330, "The cell gives 6 V and the resistor is 1 k. What current flows, in mA?", 520);
    page1.Question(580, 330, 1, "6");
    page1.Text(40, 380, "Correct answers so far:", 200);
    page1.Text(250, 380, "$MACRO_SCORE", 60);
    CPicture* next = page1.Picture(600, 440, "<LOCAL>=ICONS\\BUTTON:HAND");
    next->options.openFile = 1;
    next->options.closeThisFile = 1;
    next->options.linkFile = ".\\2 Doubling the resistance.zrn";
    next->options.bubbleText = "Next page";
    page1.Text(644, 450, "Next page", 100);
    CPicture* books = page1.Picture(40, 440, "<LOCAL>=ICONS\\BUTTON:BOOKS");
    books->options.viewBooks = 1;
    books->options.bubbleText = "Books";
    page1.Publish(true);

    CSheet page2;
    page2.Text(40, 20, "Now the resistor is 2 k and the cell still gives 6 V. What current flows?", 620);
    static const char* const kAnswers[] = {"3 mA", "6 mA", "12 mA"};
    AnswerPictures(page2, 60, 80, 2, kAnswers, 0);
    page2.Text(40, 260, "Correct answers so far:", 200);
    page2.Text(250, 260, "$MACRO_SCORE", 60);
    CPicture* back = page2.Picture(40, 320, "<LOCAL>=ICONS\\BUTTON:LEFT");
    back->options.openFile = 1;
    back->options.closeThisFile = 1;
    back->options.linkFile = ".\\1 Ohm's law.zrn";
    back->options.bubbleText = "Back";
    page2.Publish(true);
    return page1.Save(folder.filePath(QStringLiteral("1 Ohm's law.zrn")), written) &&
           page2.Save(folder.filePath(QStringLiteral("2 Doubling the resistance.zrn")), written);
}

bool ChargingACapacitor(const QDir& folder, QStringList& written)
{
    CSheet s;
    s.Text(40, 20, "Charging a capacitor: close the switch and watch the voltmeter.", 560);
    // The switch lies above the rest, its lever below it and clear of the
    // wires, which leave its ends upwards; resistor and capacitor stand
    // upright, each lower than the one before, so every wire runs from one
    // part's lower end to the next one's upper end without passing over a
    // lead.
    auto* cell = s.Add<CBattery>(80, 180, 6.0);
    auto* sw = s.Add<CSPST>(200, 120);
    auto* r = s.Add<CResistor>(320, 220, 10000.0);
    auto* c = s.Add<CCapacitor>(460, 320, 100e-6);
    auto* meter = s.Add<CVoltmeter>(580, 320);
    auto between = [](CTerminal* upper, CTerminal* lower) {
        return (upper->GetOuterEnd().y + lower->GetOuterEnd().y) / 2;
    };
    CTerminal* swLeft = sw->GetTerminal(0);
    CTerminal* swRight = sw->GetTerminal(1);
    if (swLeft->GetOuterEnd().x > swRight->GetOuterEnd().x) std::swap(swLeft, swRight);
    s.Wire(cell->GetTerminal(0), swLeft, 90);
    s.Wire(swRight, r->GetTerminal(0), 90);
    s.Wire(r->GetTerminal(1), c->GetTerminal(0), between(r->GetTerminal(1), c->GetTerminal(0)));
    s.Wire(c->GetTerminal(0), meter->GetTerminal(0), c->GetTerminal(0)->GetOuterEnd().y);
    s.Wire(c->GetTerminal(1), cell->GetTerminal(1), 420);
    s.Wire(meter->GetTerminal(1), c->GetTerminal(1), 424);
    s.Text(40, 460, "Does the voltage rise fastest at the start or at the end? (start or end)", 520);
    s.Question(580, 460, 1, "start");
    s.Text(40, 510, "Correct answers:", 200);
    s.Text(250, 510, "$MACRO_SCORE", 60);
    s.Publish(false);
    return s.Save(folder.filePath(QStringLiteral("Charging a capacitor.zrn")), written);
}

bool AnLedAndItsResistor(const QDir& folder, QStringList& written)
{
    CSheet s;
    s.Text(40, 20, "An LED needs a resistor in series. Drag the block \"LED with resistor\" from Blocks onto the page.",
           620);
    auto* cell = s.Add<CBattery>(80, 160, 6.0);
    auto* led = s.Add<CLED>(240, 100);
    auto* r = s.Add<CResistor>(380, 100, 220.0);
    s.Wire(cell->GetTerminal(0), led->GetTerminal(0), 80);
    s.Wire(led->GetTerminal(1), r->GetTerminal(0), 80);
    s.Wire(r->GetTerminal(1), cell->GetTerminal(1), 260);
    s.Text(40, 330, "The LED drops 2 V. Which resistor gives 20 mA from the 6 V cell, in ohms?", 520);
    s.Question(580, 330, 1, "200");
    s.Publish(false);
    return s.Save(folder.filePath(QStringLiteral("An LED and its resistor.zrn")), written);
}

bool Blocks(const QDir& folder, QStringList& written)
{
    CSheet divider;
    auto* r1 = divider.Add<CResistor>(40, 40, 10000.0);
    auto* r2 = divider.Add<CResistor>(180, 40, 10000.0);
    divider.Wire(r1->GetTerminal(1), r2->GetTerminal(0), 20);
    CSheet led;
    auto* l = led.Add<CLED>(40, 40);
    auto* r = led.Add<CResistor>(180, 40, 220.0);
    led.Wire(l->GetTerminal(1), r->GetTerminal(0), 20);
    CSheet cell;
    auto* b = cell.Add<CBattery>(40, 60, 6.0);
    auto* sw = cell.Add<CSPST>(160, 20);
    cell.Wire(b->GetTerminal(0), sw->GetTerminal(0), 10);
    return divider.Save(folder.filePath(QStringLiteral("Voltage divider.zrn")), written) &&
           led.Save(folder.filePath(QStringLiteral("LED with resistor.zrn")), written) &&
           cell.Save(folder.filePath(QStringLiteral("Cell and switch.zrn")), written);
}

} // namespace

QStringList WriteExampleActivities(const QString& books, const QString& blocks)
{
    QStringList written;
    const QDir bookDir(books), ohm(QDir(books).filePath(QStringLiteral("Ohm's law"))), blockDir(blocks);
    for (const QDir& d : {bookDir, ohm, blockDir})
        if (!QDir().mkpath(d.path())) return {};
    if (!OhmsLaw(ohm, written) || !ChargingACapacitor(bookDir, written) || !AnLedAndItsResistor(bookDir, written) ||
        !Blocks(blockDir, written))
        return {};
    return written;
}
