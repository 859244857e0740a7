#include "app/main_frame.h"

#include "app/add_menu.h"
#include "app/chip_programming.h"
#include "app/flowchart_dialogs.h"
#include "app/flow_send_dialog.h"
#include "app/canvas/tesk_view.h"
#include "app/home/home_commands.h"
#include "app/part_icons.h"
#include "app/sine_dialog.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_frame.h"
#include "app/toolbar_layouts.h"
#include "app/view_command_host.h"
#include "app/control_bar.h"
#include "model/circuit/circuit.h"
#include "model/parts/catalogue.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

constexpr int kMainToolBar = 479;
constexpr int kFirstRecentFile = 57616;
constexpr int kRecentFileCount = 4;

} // namespace

CMainFrame::CMainFrame(CTeskApp* app)
    : m_app(app),
      m_mdi(new QMdiArea(this)),
      m_toolbar(new QToolBar(this)),
      m_ratePane(new QLabel(this)),
      m_handlers([app] {
          CTeskDoc* doc = app->GetActiveDocument();
          CCircuit* d = doc ? doc->GetDesign() : nullptr;
          return CHandlerMap::DesignState{d != nullptr, d && d->IsLocked()};
      })
{
    setWindowTitle(FromWindows1252(LoadResString(1)));
    setObjectName(QStringLiteral("MainFrame"));
    m_mdi->setViewMode(QMdiArea::SubWindowView);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    m_toolbar->setObjectName(QStringLiteral("MainToolBar"));
    m_toolbar->setMovable(false);
    m_toolbar->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    // The message pane and the sample-rate pane.
    m_ratePane->setObjectName(QStringLiteral("RatePane"));
    m_ratePane->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Sample rate  100.0kHz")));
    statusBar()->addPermanentWidget(m_ratePane);
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty()) statusBar()->showMessage(CommandPrompt(57345));
    });
    statusBar()->showMessage(CommandPrompt(57345));

    m_handlers.Add(
        59392, [this] { m_toolbarShown = !m_toolbarShown; m_toolbar->setVisible(m_toolbarShown); },
        [this](CCmdUI& ui) { ui.Enable(); ui.SetCheck(m_toolbarShown); });
    m_handlers.Add(
        59393, [this] { statusBar()->setVisible(!statusBar()->isVisible()); },
        [this](CCmdUI& ui) { ui.Enable(); ui.SetCheck(statusBar()->isVisible()); });
    m_handlers.Add(57650, [this] { ArrangeWindows(false); });
    m_handlers.Add(57651, [this] { ArrangeWindows(true); });
    m_handlers.Add(57649, [this] { ArrangeWindows(true); });
    m_handlers.Add(57665, [this] { close(); });
    RegisterHomeCommands(m_handlers, this);
    InstallSineDialogs(this, app);
    InstallChipDialogs(this);
    InstallFlowSendDialog(this);
    InstallChipProgramming(this);

    BuildMenus();
    // The standard actions, with the desktop's icons (ours where it has none).
    auto* standard = new QToolBar(this);
    standard->setObjectName(QStringLiteral("StandardToolBar"));
    standard->setMovable(false);
    standard->setIconSize(QSize(24, 24));
    for (int id : {57600, 57601, 57603, 0, 36005, 36007, 36006, 0, 57643, 57644, 0, 57607}) {
        if (id == 0) standard->addSeparator();
        else standard->addAction(MakeAction(id));
    }
    insertToolBar(m_toolbar, standard);
    InstallViewCommands();
    SwitchToolBar(kMainToolBar, 0, true);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] {
        UpdateTitle();
        UpdateCommands();
    });
}

CMainFrame::~CMainFrame() = default;

CTeskFrame* CMainFrame::ActiveFrame() const
{
    return qobject_cast<CTeskFrame*>(m_mdi->activeSubWindow());
}

QAction* CMainFrame::Action(int id) const
{
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QIcon CMainFrame::IconFor(int id) const { return CommandIcon(id); }

QAction* CMainFrame::MakeAction(int id)
{
    if (QAction* a = Action(id)) return a;
    auto* a = new QAction(this);
    a->setData(id);
    const QString tip = CommandTip(id);
    const QString prompt = CommandPrompt(id);
    a->setStatusTip(prompt);
    a->setToolTip(tip.isEmpty() ? prompt : tip);
    // A button without a picture shows its short name.
    a->setText(tip.isEmpty() ? prompt : tip);
    a->setIcon(IconFor(id));
    a->setIconVisibleInMenu(false);
    a->setEnabled(false);
    connect(a, &QAction::triggered, this, [this, id] {
        m_app->RouteCommand(id);
        UpdateCommands();
    });
    m_actions[id] = a;
    return a;
}

void CMainFrame::BuildMenus()
{
    std::map<QString, QMenu*> menus;
    auto menuOf = [&](const QStringList& levels) -> QMenu* {
        QMenu* parent = nullptr;
        QString key;
        for (const QString& level : levels) {
            key += level + QLatin1Char('/');
            auto it = menus.find(key);
            if (it == menus.end()) {
                QMenu* m = parent ? parent->addMenu(level) : menuBar()->addMenu(level);
                connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommands);
                it = menus.emplace(key, m).first;
            }
            parent = it->second;
        }
        return parent;
    };
    // A row of the Add menu: the part's short name, with its picture.
    auto addPartRow = [&](QMenu* menu, int id, const QString& text) {
        QAction* a = MakeAction(id);
        a->setText(text);
        a->setIconVisibleInMenu(true);
        menu->addAction(a);
    };
    for (const CCommandRow& row : CommandTable()) {
        // A part this program cannot make has no row.
        if (IsAddPartCommand(row.id) && !row.menuPath.isEmpty() && !CanCreatePart(row.id)) continue;
        if (row.partGroups) {
            QStringList levels = row.menuPath.split(QLatin1Char('/'));
            levels.removeLast();
            for (const CAddMenuEntry& e : AddMenuEntries(DefaultAddMenuSource()))
                addPartRow(menuOf(levels + e.path), e.id, CommandTip(e.id));
            continue;
        }
        if (row.menuPath.isEmpty()) {
            // Accelerator only: the action lives on the frame.
            if (row.id && !row.key.isEmpty()) {
                QAction* a = MakeAction(row.id);
                a->setShortcut(row.key);
                addAction(a);
            } else if (row.id) {
                MakeAction(row.id);
            }
            continue;
        }
        QStringList levels = row.menuPath.split(QLatin1Char('/'));
        const QString item = levels.takeLast();
        QMenu* menu = menuOf(levels);
        if (levels.value(0) == QLatin1String("&File")) m_fileMenu = menuOf({levels.value(0)});
        if (row.separator) {
            menu->addSeparator();
            continue;
        }
        if (row.recentFiles) {
            for (int i = 0; i < kRecentFileCount; ++i) {
                const int id = kFirstRecentFile + i;
                auto* a = new QAction(this);
                a->setVisible(false);
                connect(a, &QAction::triggered, this, [this, i] {
                    const QStringList files = m_app->RecentFiles();
                    if (i < files.size()) m_app->OpenDocumentFile(files[i]);
                });
                m_actions[id] = a;
                menu->addAction(a);
            }
            continue;
        }
        if (IsAddPartCommand(row.id)) {
            addPartRow(menu, row.id, item);
            continue;
        }
        QAction* a = MakeAction(row.id);
        a->setText(item);
        if (!row.key.isEmpty()) a->setShortcut(row.key);
        menu->addAction(a);
    }
}

void CMainFrame::ArrangeWindows(bool tile)
{
    // Design windows open maximised: they take their normal size first.
    for (QMdiSubWindow* w : m_mdi->subWindowList()) w->showNormal();
    if (tile) m_mdi->tileSubWindows();
    else m_mdi->cascadeSubWindows();
}

void CMainFrame::SetRecentFiles(const QStringList& files)
{
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = Action(kFirstRecentFile + i);
        if (!a) continue;
        a->setVisible(i < files.size());
        a->setEnabled(i < files.size());
        if (i < files.size())
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[i])));
    }
}

void CMainFrame::UpdateCommands()
{
    for (auto& [id, action] : m_actions) {
        if (id >= kFirstRecentFile && id < kFirstRecentFile + kRecentFileCount) continue;
        CCmdUI ui;
        ui.id = id;
        m_app->RouteUpdate(ui);
        action->setEnabled(ui.handled && ui.enabled);
        if (ui.checkable) {
            action->setCheckable(true);
            action->setChecked(ui.checked);
        }
    }
    UpdateRatePane();
}

bool CMainFrame::SwitchToolBar(int layout, unsigned flags, bool force)
{
    if (layout == 999) layout = m_layout;
    else if (layout != kMainToolBar && ((layout == m_layout && flags == m_layoutFlags) || (!m_toolbarShown && !force)))
        return false;
    m_toolbar->clear();
    for (int id : ToolBarLayouts().Buttons(layout)) {
        if (id == 0) m_toolbar->addSeparator();
        else m_toolbar->addAction(MakeAction(id));
        if (id != 0 && PartCatalogue::Get().FindCommand(id) >= 0)
            if (QWidget* button = m_toolbar->widgetForAction(Action(id))) button->installEventFilter(this);
    }
    m_partButton = nullptr;
    m_layout = layout;
    m_layoutFlags = flags;
    UpdateCommands();
    return true;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    auto* button = qobject_cast<QWidget*>(watched);
    if (!button || button->parentWidget() != m_toolbar) return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton) {
            m_partButton = button;
            m_partPress = e->position().toPoint();
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (m_partButton != button || !(e->buttons() & Qt::LeftButton)) break;
        // The button does not see the moves of its press, so it stays down
        // and its release at the press point counts as a click.
        const QPoint p = button->mapTo(m_toolbar, e->position().toPoint());
        const QRect near = m_toolbar->rect().adjusted(-kPartDragOff, -kPartDragOff, kPartDragOff, kPartDragOff);
        if (near.contains(p)) return true;
        m_partButton = nullptr;
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(m_partPress),
                                                            QPointF(button->mapToGlobal(m_partPress)), Qt::LeftButton,
                                                            Qt::NoButton, e->modifiers()));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (m_partButton != button || e->button() != Qt::LeftButton) break;
        m_partButton = nullptr;
        // A plain click: the command the button runs now puts its part
        // into the design at once.  The mark lasts only for this release.
        QPointer<CTeskView> view = m_app->GetActiveView();
        if (!view) break;
        view->SetNextAddAtOnce(true);
        static_cast<QObject*>(button)->event(event);
        if (view) view->SetNextAddAtOnce(false);
        return true;
    }
    default: break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::UpdateTitle()
{
    const QString app = FromWindows1252(LoadResString(1));
    CTeskFrame* f = ActiveFrame();
    setWindowTitle(f ? app + QStringLiteral(" - ") + f->windowTitle() : app);
}

void CMainFrame::SetStatusTextId(int id)
{
    SetStatusText(FromWindows1252(LoadResString(static_cast<uint32_t>(id))));
}

void CMainFrame::SetStatusText(const QString& text)
{
    statusBar()->showMessage(text);
}

void CMainFrame::UpdateRatePane()
{
    CTeskDoc* doc = m_app->GetActiveDocument();
    const QString text = m_rateText.Text(doc ? doc->GetDesign() : nullptr);
    if (m_ratePane->text() != text) m_ratePane->setText(text);
}

bool CMainFrame::OnCommand(int id) { return m_handlers.OnCommand(id) || RouteViewCommand(id); }
bool CMainFrame::OnUpdateCommand(CCmdUI& ui) { return m_handlers.OnUpdateCommand(ui) || RouteViewUpdate(ui); }

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_app->CloseAllDocuments()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool CMainFrame::event(QEvent* event)
{
    // The application loses or gains the user: the active design stops or
    // runs again.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate) {
        if (CTeskDoc* doc = m_app->GetActiveDocument(); doc && doc->GetDesign())
            doc->GetDesign()->ControlSimulation(event->type() == QEvent::WindowActivate ? SIM_ACTIVATE
                                                                                          : SIM_DEACTIVATE);
    }
    return QMainWindow::event(event);
}
