// The main window's menus and shell commands on the real widgets
// (offscreen): the Add menu's part groups and rows, the category buttons of
// the main toolbar, the About boxes, and exceptions that escape a command.
#include "app/about_box.h"
#include "app/add_menu.h"
#include "app/canvas/tesk_view.h"
#include "app/hyperlink.h"
#include "app/main_frame.h"
#include "app/part_icons.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/toolbar_layouts.h"
#include "app/view_commands.h"
#include "model/circuit/circuit.h"
#include "model/display/display.h"
#include "model/parts/catalogue.h"
#include "platform/archive.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include "canvas_window_fixture.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include <map>
#include <set>
#include <stdexcept>
#include <string>

using namespace shelltest;

namespace {

class ShellMenus : public CanvasWindowTest {
protected:
    QMenu* AddMenu() const
    {
        for (QAction* a : m_app->GetMainFrame()->menuBar()->actions())
            if (a->text() == QLatin1String("&Add")) return a->menu();
        return nullptr;
    }
    // Every command row below a menu, with the titles of the submenus on
    // the way ("Analog/Passives").
    static void Rows(QMenu* menu, const QString& path, std::multimap<int, QString>& out)
    {
        for (QAction* a : menu->actions()) {
            if (a->menu()) Rows(a->menu(), path.isEmpty() ? a->text() : path + QLatin1Char('/') + a->text(), out);
            else if (!a->isSeparator()) out.emplace(a->data().toInt(), path);
        }
    }
    std::multimap<int, QString> AddRows() const
    {
        std::multimap<int, QString> rows;
        if (QMenu* m = AddMenu()) Rows(m, QString(), rows);
        return rows;
    }
    int PartCount() const
    {
        int n = 0;
        for (CPartIterator it(Design(), 0); it.GetCurrent(); it.Next()) ++n;
        return n;
    }
};

// The class a catalogue row makes (the replacement of a variant row).
std::string MadeClass(const PartCatalogueEntry& row)
{
    return row.replacementName ? row.replacementName : row.className;
}

} // namespace

TEST_F(ShellMenus, TheAddMenuComesAfterViewAndHoldsARowForEveryClassThisProgramCanMake)
{
    QStringList menus;
    for (QAction* a : m_app->GetMainFrame()->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus.indexOf(QStringLiteral("&Add")), menus.indexOf(QStringLiteral("&View")) + 1);

    const std::multimap<int, QString> rows = AddRows();
    ASSERT_FALSE(rows.empty());
    const PartCatalogue& catalogue = PartCatalogue::Get();
    std::set<std::string> offered, variants;
    for (const auto& [id, path] : rows) {
        EXPECT_TRUE(CanCreatePart(id)) << id << " has a row but no part";
        EXPECT_FALSE(IsQuickAddCommand(id)) << id;
        const int row = catalogue.FindCommand(id);
        if (row >= 0) offered.insert(MadeClass(catalogue.GetRow(row)));
    }
    for (int i = 0; i < catalogue.GetCount(); ++i)
        if (catalogue.GetRow(i).replacementName) variants.insert(catalogue.GetRow(i).className);
    int ready = 0;
    for (int i = 0; i < catalogue.GetCount(); ++i) {
        const PartCatalogueEntry& row = catalogue.GetRow(i);
        if (catalogue.GetRowStatus(i) != PartCatalogue::rowReady || IsQuickAddCommand(row.commandId)) continue;
        // The probe has its row in the Measure menu; variant classes of old
        // files are made as the class they stand for.
        if (row.commandId == 32793 || variants.count(MadeClass(row))) continue;
        ++ready;
        EXPECT_TRUE(offered.count(MadeClass(row))) << MadeClass(row) << " (" << row.commandId << ") has no Add row";
    }
    EXPECT_GT(ready, 60);
    // Rows stand in the groups of the part toolbars, with the parts' names.
    auto in = [&](int id, const char* path) {
        auto [from, to] = rows.equal_range(id);
        for (auto it = from; it != to; ++it)
            if (it->second == QLatin1String(path)) return true;
        return false;
    };
    EXPECT_TRUE(in(32769, "Analog/Passives"));
    EXPECT_TRUE(in(32772, "Analog/Supplies"));
    EXPECT_TRUE(in(32837, "Analog/Switches"));
    EXPECT_TRUE(in(32771, "Digital/Gates"));
    EXPECT_TRUE(in(33522, ""));
    EXPECT_EQ(m_app->GetMainFrame()->Action(32769)->text(), QStringLiteral("Resistor"));
    EXPECT_TRUE(in(33524, "")) << "Insert Movie";
}

TEST_F(ShellMenus, ChoosingAnAddRowGivesAFloatingPartThatLandsWhereThePupilClicks)
{
    ASSERT_EQ(PartCount(), 0);
    CMainFrame* frame = m_app->GetMainFrame();
    // A component, and a text box (whose resize frame must not keep the
    // release to itself).
    const struct { int id; QPoint at; } rows[] = {{32769, {300, 220}}, {33522, {640, 480}}};
    int count = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        frame->UpdateCommands();
        QAction* add = frame->Action(row.id);
        ASSERT_NE(add, nullptr);
        ASSERT_TRUE(add->isEnabled());
        add->trigger();
        CCircuit* floating = m_view->Controller().GetFloating();
        ASSERT_NE(floating, nullptr) << "the new part follows the pointer";
        CPart* part = floating->GetFirstPart();
        ASSERT_NE(part, nullptr);
        const QPoint at = row.at;
        QTest::mouseMove(Port(), at - QPoint(40, 30));
        QTest::mouseMove(Port(), at);
        QTest::mouseClick(Port(), Qt::LeftButton, {}, at);
        EXPECT_EQ(m_view->Controller().GetFloating(), nullptr);
        ASSERT_GT(PartCount(), count);
        count = PartCount();
        bool filed = false;
        for (CPartIterator it(Design(), 0); it.GetCurrent(); it.Next()) filed = filed || it.GetCurrent() == part;
        EXPECT_TRUE(filed);
        // It lies where the click put it: the pointer carries the part by
        // the point where it took hold of it.
        CRect r = part->GetRect();
        r.InflateRect(16, 16);
        const CPoint click = m_view->Controller().ToLogical(CPoint(at.x(), at.y()));
        EXPECT_TRUE(r.PtInRect(click)) << r.left << "," << r.top << " " << click.x << "," << click.y;
    }
}

TEST_F(ShellMenus, AddRowsAreGreyedWhileTheDesignIsLockedOrAPartHasBlown)
{
    CMainFrame* frame = m_app->GetMainFrame();
    const std::multimap<int, QString> rows = AddRows();
    auto allEnabled = [&](bool want) {
        frame->UpdateCommands();
        int wrong = 0;
        for (const auto& [id, path] : rows) wrong += frame->Action(id)->isEnabled() != want;
        return wrong;
    };
    EXPECT_EQ(allEnabled(true), 0);
    Design()->SetOptionBits(0x4000, true);
    EXPECT_EQ(allEnabled(false), 0);
    // A greyed row does nothing when it is reached anyway (a key).
    m_app->RouteCommand(32769);
    EXPECT_EQ(m_view->Controller().GetFloating(), nullptr);
    Design()->SetOptionBits(0x4000, false);
    EXPECT_EQ(allEnabled(true), 0);
    Design()->SetComponentDestroyed();
    EXPECT_EQ(allEnabled(false), 0);
}

TEST_F(ShellMenus, CategoryButtonsOfTheMainToolbarAreEnabledAndShowTheirPartToolbar)
{
    CMainFrame* frame = m_app->GetMainFrame();
    struct Case { int button; int layout; };
    const Case cases[] = {{34180, 478}, {34186, 472}, {34183, 481}, {34184, 480}, {34181, 476}};
    for (const Case& c : cases) {
        frame->SwitchToolBar(kMainToolBarId, 0, true);
        frame->UpdateCommands();
        QAction* a = frame->Action(c.button);
        ASSERT_NE(a, nullptr) << c.button;
        QWidget* button = frame->MainToolBar()->widgetForAction(a);
        ASSERT_NE(button, nullptr) << c.button;
        EXPECT_TRUE(a->isEnabled()) << c.button;
        EXPECT_TRUE(button->isEnabled()) << c.button;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(frame->ToolBarLayout(), c.layout) << c.button;
        // Back to the main toolbar from the part toolbar's own button.
        QAction* back = frame->Action(34221);
        ASSERT_NE(back, nullptr);
        frame->UpdateCommands();
        EXPECT_TRUE(back->isEnabled());
        back->trigger();
        EXPECT_EQ(frame->ToolBarLayout(), kMainToolBarId);
    }
}

TEST_F(ShellMenus, AboutShowsTheProductNameAndVersionFromTheStringTable)
{
    CMainFrame* frame = m_app->GetMainFrame();
    frame->UpdateCommands();
    for (int id : {57664, 34270}) {
        QAction* about = frame->Action(id);
        ASSERT_NE(about, nullptr);
        EXPECT_TRUE(about->isEnabled()) << id;
        QString title, version, link;
        bool shown = false;
        WhenModal<CAboutBox>([&](CAboutBox* box) {
            shown = true;
            title = box->windowTitle();
            version = box->VersionText();
            link = box->Link()->GetURL();
            box->accept();
        });
        about->trigger();
        EXPECT_TRUE(shown) << id;
        if (id == 57664) {
            EXPECT_EQ(title, QStringLiteral("About Kestrane"));
            EXPECT_EQ(version, FromWindows1252(LoadResString(35120)));
        } else {
            EXPECT_EQ(title, QStringLiteral("About Vector Movie Player"));
        }
        EXPECT_TRUE(link.startsWith(QLatin1String("https://"))) << link.toStdString();
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ShellMenus, AnExceptionEscapingACommandIsReportedInAMessageBox)
{
    struct Case { int id; std::function<void()> thrower; CString expected; };
    const Case cases[] = {
        {39990, [] { throw CMemoryException(); }, LoadResString(61830)},
        {39991, [] { throw std::bad_alloc(); }, LoadResString(61830)},
        {39992, [] { throw CResourceException(); }, LoadResString(35022)},
        {39993, [] { throw std::runtime_error("the gear slipped"); }, "the gear slipped"},
        {39994, [] { throw CArchiveException(CArchiveException::endOfFile); }, ""},
    };
    Design()->ControlSimulation(SIM_ACTIVATE);
    for (const Case& c : cases) {
        m_messages.shown.clear();
        m_app->AddCommand(c.id, c.thrower);
        EXPECT_TRUE(m_app->RouteCommand(c.id)) << c.id;
        ASSERT_EQ(m_messages.shown.size(), 1u) << c.id;
        EXPECT_NE(m_messages.shown[0].text.find(c.expected), CString::npos) << m_messages.shown[0].text;
        EXPECT_EQ(m_messages.shown[0].type & 0xF0, unsigned(MB_ICONSTOP));
    }
    // The program goes on: a command after the failures still runs.
    m_messages.shown.clear();
    m_app->GetMainFrame()->UpdateCommands();
    m_app->GetMainFrame()->Action(32769)->trigger();
    EXPECT_NE(m_view->Controller().GetFloating(), nullptr);
}

TEST_F(ShellMenus, PartRowsAndButtonsShowThePartsOwnPictures)
{
    // The parts of the passive components toolbar, drawn as they stand on
    // the canvas once added.
    int drawn = 0;
    for (int id : ToolBarLayouts().Buttons(221)) {
        if (!IsAddPartCommand(id) || !CanCreatePart(id)) continue;
        const QImage picture = RenderPartPicture(id);
        ASSERT_FALSE(picture.isNull()) << id;
        int ink = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) ink += (picture.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
        EXPECT_GT(ink, 10) << id;
        EXPECT_FALSE(PartIcon(id).isNull()) << id;
        ++drawn;
    }
    EXPECT_GE(drawn, 4);
    // The category buttons show a part of their group.
    EXPECT_FALSE(m_app->GetMainFrame()->Action(34180)->icon().isNull());
}

TEST_F(ShellMenus, InsertMovieAsksForTheMovieFileAndAnUntitledDesignIsOfferedForSavingFirst)
{
    CMainFrame* frame = m_app->GetMainFrame();
    frame->UpdateCommands();
    QAction* insert = frame->Action(33524);
    ASSERT_NE(insert, nullptr);
    ASSERT_TRUE(insert->isEnabled());
    // Untitled: the movie is kept relative to the design's file, so saving
    // is offered; declining adds nothing.
    m_messages.queuedAnswers = {IDNO};
    insert->trigger();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, LoadResString(36589));
    EXPECT_EQ(m_view->Controller().GetFloating(), nullptr);
    EXPECT_EQ(PartCount(), 0);
    // A saved design goes straight to the file dialog; Cancel adds nothing.
    const QString path = m_dir.filePath(QStringLiteral("with_movie.zrn"));
    ASSERT_TRUE(m_app->GetActiveDocument()->DoSave(path));
    m_messages.shown.clear();
    bool asked = false;
    WhenModal<QFileDialog>([&](QFileDialog* d) {
        asked = true;
        d->reject();
    });
    insert->trigger();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(m_view->Controller().GetFloating(), nullptr);
    EXPECT_EQ(PartCount(), 0);
}

TEST_F(ShellMenus, TheDocumentAcceleratorsReachTheirHandlers)
{
    CMainFrame* frame = m_app->GetMainFrame();
    frame->UpdateCommands();
    struct Case { int id; const char* key; };
    const Case cases[] = {{38000, "Ctrl+Alt+S"}, {38001, "Ctrl+Alt+T"}, {38002, "Ctrl+Shift+Alt+T"}};
    for (const Case& c : cases) {
        QAction* a = frame->Action(c.id);
        ASSERT_NE(a, nullptr) << c.id;
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromLatin1(c.key))) << c.id;
        EXPECT_TRUE(a->isEnabled()) << c.id;
        EXPECT_TRUE(frame->actions().contains(a)) << c.id << " lives on the frame";
    }
    // The rescale options open from their key.
    bool shown = false;
    WhenModal<QDialog>([&](QDialog* d) {
        shown = true;
        d->reject();
    });
    frame->activateWindow();
    QTest::keyClick(frame, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(m_messages.shown.empty());
}

namespace {
// An object whose handling of one event type fails.
class CFailingReceiver : public QObject {
public:
    static constexpr QEvent::Type kFail = QEvent::Type(QEvent::User + 71);
    bool event(QEvent* e) override
    {
        if (e->type() == kFail) throw CResourceException();
        return QObject::event(e);
    }
};
} // namespace

TEST_F(ShellMenus, AnExceptionEscapingAnEventHandlerIsReportedAndTheProgramGoesOn)
{
    CFailingReceiver receiver;
    QEvent fail(CFailingReceiver::kFail);
    EXPECT_FALSE(DeliverReportingExceptions(*qApp, &receiver, &fail));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, LoadResString(35022));
    // Other events reach it as usual.
    QEvent ordinary(QEvent::User);
    DeliverReportingExceptions(*qApp, &receiver, &ordinary);
    EXPECT_EQ(m_messages.shown.size(), 1u);
}

TEST(AddCommands, EachAddCommandHasThePartKindTheDesignWeighs)
{
    struct Case { int id; int kind; };
    const Case cases[] = {
        {32769, 1}, {32793, 3}, {33519, 1}, {33520, 0}, {33524, 0}, {33528, 0}, {33529, 1}, {33700, 6},
        {33701, 5}, {33702, 6}, {33703, 8}, {33704, 8}, {33705, 6}, {33799, 6}, {33800, 1}, {33899, 1},
        {33900, 2}, {33921, 2}, {33949, 2}, {33950, 4}, {33964, 4}, {33965, 1}, {33998, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(AddCommandPartKind(c.id), c.kind) << c.id;
}

TEST(AddCommands, GroupsFollowTheToolbarsWithoutLoopsOrEmptyGroups)
{
    // Main toolbar 479 leads to A (toolbar 10) and B (toolbar 20); A leads
    // on to C (30), which points back to A; B holds nothing that can be made.
    CToolBarLayouts layouts;
    layouts.layouts[479] = {35007, 0, 901, 902, 32793};
    layouts.layouts[10] = {35007, 0, 32769, 903, 33950, 32770, 35003};
    layouts.layouts[20] = {35007, 0, 32999, 35003};
    layouts.layouts[30] = {35007, 0, 32771, 901, 32769, 35003};
    const std::vector<CNavigationRow> navigation = {{901, 10, 32769}, {902, 20, 32999}, {903, 30, 32771}};
    CAddMenuSource source;
    source.layouts = &layouts;
    source.navigation = &navigation;
    source.canCreate = [](int id) { return id != 32999; };
    source.hasOwnRow = [](int id) { return id == 32793; };
    source.title = [](int id) { return QString::number(id); };
    const std::vector<CAddMenuEntry> entries = AddMenuEntries(source);
    QStringList got;
    for (const CAddMenuEntry& e : entries) got << e.path.join(QLatin1Char('/')) + QLatin1Char(':') + QString::number(e.id);
    EXPECT_EQ(got.join(QLatin1Char(' ')).toStdString(), "901:32769 901/903:32771 901/903:32769 901:32770");
}
