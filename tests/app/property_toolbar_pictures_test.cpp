// The property toolbar's buttons on real parts: every button shows a
// picture (group box, picture, text box, a turned resistor, a meter without
// turned pictures), the orientation pictures are one outline turned by the
// parts' own turn rule, and the enable and check states of the group box's
// and the edited text box's buttons.  With WB_PROPBAR_SHEET set, the
// toolbar strips are also written, magnified, into that PNG for review.
#include "app/control_toolbar.h"
#include "app/publish/picture.h"
#include "app/text_editor.h"
#include "model/circuit/circuit.h"
#include "model/components/component.h"
#include "model/display/visual.h"
#include "model/parts/catalogue.h"
#include "model/text/groupbox.h"
#include "model/text/textlabel.h"
#include "model/text/value.h"

#include "canvas_window_fixture.h"
#include "shell_support.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPainter>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

namespace {

QAction* ButtonAction(CControlToolBar& bar, int id)
{
    return bar.findChild<QAction*>(QStringLiteral("prop%1").arg(id));
}

// Ink pixels of a 32-pixel cell: those not of the background colour at (0, 0).
int Ink(const QImage& cell)
{
    int ink = 0;
    for (int y = 0; y < cell.height(); ++y)
        for (int x = 0; x < cell.width(); ++x)
            if (cell.pixel(x, y) != cell.pixel(0, 0)) ++ink;
    return ink;
}

struct PartCase {
    const char* name;
    std::function<CPart*(CCircuit&)> make;
    std::vector<int> mustShow; // button ids the toolbar must hold
};

CPart* FromCatalogue(CCircuit& design, int command, int orientation)
{
    CPart* part = dynamic_cast<CPart*>(PartCatalogue::Get().CreateById(command, nullptr, nullptr));
    if (!part) return nullptr;
    part->Initialise();
    design.AddChild(part);
    // Turned as its toolbar button turns it (a new resistor stands across,
    // code 1; code 0 stands it upright).
    if (orientation >= 0 && orientation != part->GetOrientation()) {
        EXPECT_EQ(part->OnPropertyCommand(36043 + orientation, CString()), 8);
        part->ApplySettingsText();
        EXPECT_EQ(part->GetOrientation(), orientation);
    }
    return part;
}

const std::vector<PartCase>& Cases()
{
    static const std::vector<PartCase> cases = {
        {"group box",
         [](CCircuit& d) {
             auto* box = new CGroupBox(&d, nullptr);
             d.AddChild(box);
             return static_cast<CPart*>(box);
         },
         {36070, 36071, 33523, 32920, 33920, 36101, 36102, 36103, 36104, 36105, 36108, 36074, 36076}},
        {"picture",
         [](CCircuit& d) {
             auto* picture = new CPicture();
             d.AddChild(picture);
             return static_cast<CPart*>(picture);
         },
         {36074, 36107, 36076}},
        {"text box",
         [](CCircuit& d) {
             auto* label = new CTextLabel(&d, CPoint(40, 40), nullptr);
             d.AddChild(label);
             return static_cast<CPart*>(label);
         },
         {36101, 36108, 36105, 36102, 36103, 36104, 36074, 36076}},
        {"turned resistor", [](CCircuit& d) { return FromCatalogue(d, 32769, 0); }, {36043, 36044, 36076}},
        {"ammeter", [](CCircuit& d) { return FromCatalogue(d, 32871, -1); }, {36043, 36044, 36049, 36046, 36076}},
        {"microcontroller", [](CCircuit& d) { return FromCatalogue(d, 33865, -1); }, {36114, 36074, 36043, 36076}},
    };
    return cases;
}

} // namespace

TEST(PropertyToolbarPictures, EveryButtonShowsAPicture)
{
    shelltest::EnsureShellApp();
    QImage sheet;
    int row = 0;
    const char* sheetPath = std::getenv("WB_PROPBAR_SHEET");
    if (sheetPath) {
        sheet = QImage(2 * 32 * 16, 2 * 36 * static_cast<int>(Cases().size()), QImage::Format_RGB32);
        sheet.fill(Qt::lightGray);
    }
    for (const PartCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        CCircuit design;
        CPart* part = c.make(design);
        ASSERT_NE(part, nullptr);
        CControlToolBar bar([&design] { return &design; });
        bar.ShowPart(part, [] {});
        const CControlItemList& items = bar.Model().Items();
        for (int id : c.mustShow) EXPECT_GE(items.FindById(id), 0) << id;
        int buttons = 0;
        for (int i = 0; i < items.GetCount(); ++i) {
            if (items[i].type != CI_TOOLBUTTON && items[i].type != CI_TOOLBUTTON_LOCKED) continue;
            const int id = items[i].id;
            ++buttons;
            QAction* action = ButtonAction(bar, id);
            ASSERT_NE(action, nullptr) << id;
            EXPECT_FALSE(action->icon().isNull()) << id;
            auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(action));
            ASSERT_NE(button, nullptr) << id;
            const QString text = button->text();
            bool numeric = false;
            text.toInt(&numeric);
            EXPECT_FALSE(numeric) << id << " " << text.toStdString();
            EXPECT_FALSE(text.startsWith(QChar(0x21BB))) << id;
            EXPECT_FALSE(text.isEmpty()) << id;
            const QImage cell = bar.Model().ButtonPicture(id);
            ASSERT_EQ(cell.size(), QSize(32, 32)) << id;
            EXPECT_GT(Ink(cell), 20) << id;
            if (sheetPath && buttons <= 16) {
                QPainter p(&sheet);
                p.drawImage(QRect((buttons - 1) * 64, row * 72, 64, 64), cell);
            }
        }
        EXPECT_GE(buttons, static_cast<int>(c.mustShow.size()));
        ++row;
    }
    if (sheetPath) {
        EXPECT_TRUE(sheet.save(QString::fromLocal8Bit(sheetPath)));
    }
}

namespace {
// Leads of the outline in a picture: ink on the middle row's ends (across)
// or the middle column's ends (upright).
bool LiesAcross(const QImage& cell)
{
    const QRgb bg = cell.pixel(0, 0);
    return cell.pixel(4, 15) != bg && cell.pixel(27, 15) != bg && cell.pixel(15, 4) == bg;
}
bool StandsUpright(const QImage& cell)
{
    const QRgb bg = cell.pixel(0, 0);
    return cell.pixel(15, 4) != bg && cell.pixel(15, 27) != bg && cell.pixel(4, 15) == bg;
}
} // namespace

// Each orientation picture is the first turned by the rule that turns the
// parts themselves (about the cell's centre, 15.5, 15.5), and the picture
// of the present orientation lies as the part does: a resistor stands
// upright at code 0 and lies across at code 1.
TEST(PropertyToolbarPictures, OrientationPicturesAreOneOutlineTurned)
{
    shelltest::EnsureShellApp();
    for (int code : {0, 1}) {
        CCircuit design;
        CPart* resistor = FromCatalogue(design, 32769, code);
        ASSERT_NE(resistor, nullptr);
        const CRect r = resistor->GetRect();
        CControlToolBar bar([&design] { return &design; });
        bar.ShowPart(resistor, [] {});
        const QImage shown = bar.Model().ButtonPicture(36043 + code);
        EXPECT_EQ(r.Height() > r.Width(), StandsUpright(shown)) << code;
        EXPECT_EQ(r.Width() > r.Height(), LiesAcross(shown)) << code;
    }
    CCircuit design;
    CPart* meter = FromCatalogue(design, 32871, -1);
    ASSERT_NE(meter, nullptr);
    CControlToolBar bar([&design] { return &design; });
    bar.ShowPart(meter, [] {});
    const QImage base = bar.Model().ButtonPicture(36043);
    ASSERT_EQ(base.size(), QSize(32, 32));
    for (int code = 1; code < 8; ++code) {
        const QImage turned = bar.Model().ButtonPicture(36043 + code);
        ASSERT_EQ(turned.size(), QSize(32, 32)) << code;
        EXPECT_NE(turned, base) << code;
        int mismatches = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const CPoint t = TurnDoubled({2 * x - 31, 2 * y - 31}, code);
                if (turned.pixel((t.x + 31) / 2, (t.y + 31) / 2) != base.pixel(x, y)) ++mismatches;
            }
        EXPECT_EQ(mismatches, 0) << code;
    }
}

// The group box's two state buttons: both always enabled (so the box can
// be switched either way), checked by the state.
TEST(PropertyToolbarPictures, GroupBoxStateButtons)
{
    shelltest::EnsureShellApp();
    CCircuit design;
    auto* box = new CGroupBox(&design, nullptr);
    design.AddChild(box);
    CControlToolBar bar([&design] { return &design; });
    bar.ShowPart(box, [] {});
    const struct {
        int press; // the button clicked first (0: none)
        bool fixed;
        bool fixedChecked, groupingChecked;
    } rows[] = {
        {0, true, true, false},
        {IDC_GROUPBOX_GROUPING, false, false, true},
        {IDC_GROUPBOX_GROUPING, false, false, true},
        {IDC_GROUPBOX_FIXED, true, true, false},
    };
    for (const auto& r : rows) {
        if (r.press) ButtonAction(bar, r.press)->trigger();
        EXPECT_EQ(box->fixed != 0, r.fixed) << r.press;
        for (int id : {IDC_GROUPBOX_FIXED, IDC_GROUPBOX_GROUPING}) {
            QAction* a = ButtonAction(bar, id);
            ASSERT_NE(a, nullptr);
            EXPECT_TRUE(a->isEnabled()) << id;
            EXPECT_TRUE(a->isCheckable()) << id;
            EXPECT_EQ(a->isChecked(), id == IDC_GROUPBOX_FIXED ? r.fixedChecked : r.groupingChecked) << id;
        }
    }
}

namespace {

class PropertyToolbarEditing : public CanvasWindowTest {
protected:
    CControlToolBar* Bar() const { return m_app->GetMainFrame()->ControlBar(); }
    QTextEdit* Editor() const { return Port()->findChild<QTextEdit*>(); }
    QAction* Button(int id) const { return ButtonAction(*Bar(), id); }
};

} // namespace

// While a text box is edited its style buttons are enabled and act on the
// editor's selection; their check states follow the selection's format.
TEST_F(PropertyToolbarEditing, StyleButtonsFollowTheSelection)
{
    auto* label = new CTextLabel(Design(), m_view->Controller().ToLogical(CPoint(300, 220)), nullptr);
    Design()->AddChild(label);
    label->AttachToCircuit(Design());
    m_view->UpdateView();
    // Not edited: the style buttons are greyed.
    Bar()->ShowPart(label, [] {});
    for (int id : {36102, 36103, 36104}) {
        ASSERT_NE(Button(id), nullptr) << id;
        EXPECT_FALSE(Button(id)->isEnabled()) << id;
    }
    QTest::mouseClick(Port(), Qt::LeftButton, {}, Client(label->GetRect().CenterPoint()));
    QCoreApplication::processEvents();
    ASSERT_TRUE(label->IsBeingEdited());
    ASSERT_EQ(Bar()->Part(), label);
    QTextEdit* edit = Editor();
    ASSERT_NE(edit, nullptr);
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, " more");
    ASSERT_EQ(edit->toPlainText(), "Text more");

    const auto states = [&] {
        std::array<std::pair<bool, bool>, 3> s;
        for (int k = 0; k < 3; ++k) s[size_t(k)] = {Button(36102 + k)->isEnabled(), Button(36102 + k)->isChecked()};
        return s;
    };
    using S = std::array<std::pair<bool, bool>, 3>;
    EXPECT_EQ(states(), (S{{{true, false}, {true, false}, {true, false}}}));

    // Select "Text" and make it bold, then italic.
    QTextCursor c = edit->textCursor();
    c.setPosition(0);
    c.setPosition(4, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    Button(36102)->trigger();
    EXPECT_EQ(states(), (S{{{true, true}, {true, false}, {true, false}}}));
    Button(36103)->trigger();
    EXPECT_EQ(states(), (S{{{true, true}, {true, true}, {true, false}}}));

    const struct {
        int from, to;
        bool bold, italic;
    } rows[] = {
        {1, 3, true, true},   // inside the styled word
        {2, 7, false, false}, // mixed: not wholly bold
        {6, 9, false, false}, // plain text
        {0, 4, true, true},
    };
    for (const auto& r : rows) {
        c.setPosition(r.from);
        c.setPosition(r.to, QTextCursor::KeepAnchor);
        edit->setTextCursor(c);
        EXPECT_EQ(Button(36102)->isChecked(), r.bold) << r.from << "-" << r.to;
        EXPECT_EQ(Button(36103)->isChecked(), r.italic) << r.from << "-" << r.to;
        EXPECT_TRUE(Button(36104)->isEnabled());
        EXPECT_FALSE(Button(36104)->isChecked());
    }
    // A bold toggle on a mixed selection makes all of it bold.
    c.setPosition(2);
    c.setPosition(7, QTextCursor::KeepAnchor);
    edit->setTextCursor(c);
    Button(36102)->trigger();
    EXPECT_TRUE(Button(36102)->isChecked());
    QTest::mouseClick(Port(), Qt::LeftButton, {}, QPoint(700, 600));
    EXPECT_FALSE(label->IsBeingEdited());
}

// scripts/propbar_screenshots.sh: a design with a group box, a picture, a
// text box and a turned resistor, saved into the directory
// WB_PROPBAR_DESIGNS names, for the screenshots of their toolbars.
TEST_F(PropertyToolbarEditing, ReviewDesign)
{
    const char* dir = std::getenv("WB_PROPBAR_DESIGNS");
    if (!dir || !*dir) GTEST_SKIP() << "WB_PROPBAR_DESIGNS not set";
    CCircuit* design = Design();
    auto* box = new CGroupBox(design, nullptr);
    design->AddChild(box);
    box->SetRectRecursive(CRect(40, 40, 260, 170));
    box->AttachToCircuit(design);
    // Grouping: a click inside it selects it.
    box->SetGrouping(1);
    auto* picture = new CPicture;
    picture->m_rect = CRect(340, 60, 340, 60);
    design->AddChild(picture);
    picture->AttachToCircuit(design);
    picture->document.OpenByName("<LOCAL>=ICONS\\BUTTON:BOOKS", CString());
    picture->FitToPicture();
    auto* label = new CTextLabel(design, CPoint(60, 240), nullptr);
    design->AddChild(label);
    label->AttachToCircuit(design);
    CPart* resistor = FromCatalogue(*design, 32769, 0);
    ASSERT_NE(resistor, nullptr);
    resistor->Offset(420 - resistor->GetRect().left, 240 - resistor->GetRect().top);
    resistor->AttachToCircuit(design);
    m_view->UpdateView();
    const QString out = QString::fromLocal8Bit(dir);
    ASSERT_TRUE(m_app->GetActiveDocument()->OnSaveDocument(out + "/propbar_parts.dsn"));
    // Where the parts stand in the window, for the clicks of the script.
    for (CPart* p : {static_cast<CPart*>(box), static_cast<CPart*>(picture), static_cast<CPart*>(label), resistor}) {
        const CRect r = p->GetRect();
        const QPoint at = Port()->mapTo(m_app->GetMainFrame(), Client(r.CenterPoint()));
        std::printf("part %s rect %d %d %d %d centre-in-frame %d %d\n", p->GetRuntimeClass()->m_lpszClassName, r.left,
                    r.top, r.right, r.bottom, at.x(), at.y());
    }
}

// A value label edited in place: what is typed goes to the shown part as
// command 36089 and becomes the value; a text the value refuses turns red
// until an accepted one.
TEST_F(PropertyToolbarEditing, TypedValueGoesToThePartAndARefusedOneTurnsRed)
{
    CPart* resistor = FromCatalogue(*Design(), 32769, 1);
    ASSERT_NE(resistor, nullptr);
    const CPoint at = m_view->Controller().ToLogical(CPoint(400, 300));
    resistor->Offset(at.x - resistor->GetRect().left, at.y - resistor->GetRect().top);
    resistor->AttachToCircuit(Design());
    m_view->UpdateView();
    auto* component = dynamic_cast<CComponent*>(resistor);
    ASSERT_NE(component, nullptr);
    auto* value = dynamic_cast<CText*>(component->GetValueLabel());
    ASSERT_NE(value, nullptr);
    // Flag 0x10, which every value read from a file carries, asks for the
    // red text.
    value->flags |= TF_VALUE;
    // The resistor shown in the toolbar, its value opened in place.
    m_view->Controller().PickUp(resistor, true);
    CString text = value->rtf.text;
    ASSERT_EQ(value->EditInPlace(&text), 1);
    QCoreApplication::processEvents();
    ASSERT_EQ(Bar()->Part(), resistor);
    ASSERT_TRUE(value->IsBeingEdited());
    QTextEdit* edit = Editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(0, 0, 0));
    const struct {
        const char* typed;
        bool red;
        const char* number; // the value's number text afterwards (null: not checked)
    } rows[] = {
        {"47", false, "47"},
        {"-", true, nullptr},
        {"22", false, "22"},
    };
    for (const auto& r : rows) {
        edit->selectAll();
        QTest::keyClicks(edit, r.typed);
        EXPECT_EQ(edit->palette().color(QPalette::Text), r.red ? QColor(255, 0, 0) : QColor(0, 0, 0)) << r.typed;
        if (r.number) {
            EXPECT_EQ(dynamic_cast<CValue*>(value)->GetNumberText(), CString(r.number)) << r.typed;
        }
    }
    // The typed values changed the design.
    EXPECT_TRUE(m_app->GetActiveDocument()->IsModified());
}

// The Measure and Sound commands on the real route: Copy Probe Data is
// offered with any design (its dialog shows what the probes recorded);
// the sound commands wait for the loudspeaker's recording.
TEST_F(PropertyToolbarEditing, ProbeAndSoundCommandsOnTheRoute)
{
    const struct {
        int id;
        bool enabled;
    } rows[] = {{36004, true}, {36011, false}, {36014, false}, {36019, false}};
    for (const auto& r : rows) {
        CCmdUI ui;
        ui.id = r.id;
        m_app->RouteUpdate(ui);
        EXPECT_TRUE(ui.handled) << r.id;
        EXPECT_EQ(ui.enabled, r.enabled) << r.id;
    }
}

// The caption buttons of a text box and of a group box: border, fill and
// the style buttons act on the text being edited, so they are greyed until
// it is edited and enabled while it is (the font button always); pressed,
// they act on the caption, and a text box's border button is checked by its
// flag.
TEST_F(PropertyToolbarEditing, CaptionButtonsOfLabelsAndGroupBoxesFollowEditing)
{
    const CPoint at = m_view->Controller().ToLogical(CPoint(300, 220));
    auto* label = new CTextLabel(Design(), at, nullptr);
    Design()->AddChild(label);
    label->AttachToCircuit(Design());
    auto* box = new CGroupBox(Design(), nullptr);
    Design()->AddChild(box);
    box->AttachToCircuit(Design());
    m_view->UpdateView();
    const int kButtons[] = {IDC_LABEL_BORDER, IDC_LABEL_BACKGROUND, IDC_LABEL_BOLD, IDC_LABEL_ITALIC,
                            IDC_LABEL_UNDERLINE, IDC_LABEL_QUESTION};
    for (CTextLabel* part : {label, static_cast<CTextLabel*>(box)}) {
        SCOPED_TRACE(part == label ? "text box" : "group box");
        Bar()->ShowPart(part, [] {});
        m_app->GetMainFrame()->UpdateCommands();
        for (int id : kButtons) {
            ASSERT_NE(Button(id), nullptr) << id;
            EXPECT_FALSE(Button(id)->isEnabled()) << id;
        }
        EXPECT_TRUE(Button(IDC_LABEL_FONT)->isEnabled());

        CString text = part->rtf.text;
        ASSERT_EQ(part->EditInPlace(&text), 1);
        Bar()->ShowPart(part, [] {});
        m_app->GetMainFrame()->UpdateCommands();
        // A group box draws its own frame, never the label border, so its
        // border button stays greyed and pressing it changes nothing.
        const bool box = part != label;
        for (int id : kButtons) EXPECT_EQ(Button(id)->isEnabled(), !(box && id == IDC_LABEL_BORDER)) << id;
        EXPECT_TRUE(Button(IDC_LABEL_FONT)->isEnabled());
        EXPECT_FALSE(Button(IDC_LABEL_BORDER)->isChecked());

        const DWORD before = part->flags;
        Button(IDC_LABEL_BORDER)->trigger();
        m_app->GetMainFrame()->UpdateCommands();
        EXPECT_EQ(part->flags, box ? before : before ^ TF_BORDER);
        EXPECT_EQ(Button(IDC_LABEL_BORDER)->isChecked(), !box);
        // Bold on the whole caption.
        QTextEdit* edit = Editor();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        Button(IDC_LABEL_BOLD)->trigger();
        m_app->GetMainFrame()->UpdateCommands();
        EXPECT_TRUE(Button(IDC_LABEL_BOLD)->isChecked());
        part->EditInPlace(nullptr);
    }
}
