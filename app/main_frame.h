// The main frame: the MDI area holding the design windows, the menus and
// shortcuts of the command table, the main toolbar (switched between its
// layouts), the status bar with the message pane and the sample-rate pane.
// Commands go to the application, which routes them; the update pass asks
// the same route and greys what nobody handles.
#pragma once

#include "app/commands.h"
#include "app/rate_pane.h"

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>

class CCircuit;
class CControlToolBar;
class CFrameViewCommandHost;
class CPropertyCommands;
class CTeskApp;
class CViewCommands;
class CTeskFrame;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow, public CCommandTarget {
    Q_OBJECT
public:
    explicit CMainFrame(CTeskApp* app);
    ~CMainFrame() override;

    QMdiArea* MdiArea() const { return m_mdi; }
    CTeskFrame* ActiveFrame() const;
    QToolBar* MainToolBar() const { return m_toolbar; }

    // The action of a command (menus, toolbar, shortcuts), or null.
    QAction* Action(int id) const;
    // Asks the route about every command and sets enabled and checked.
    void UpdateCommands();

    // Shows a toolbar layout; 999 means the one shown.  Nothing happens when
    // it is shown already (except 479) or, unless forced, when the toolbar is
    // hidden.  Returns true when it switched.
    bool SwitchToolBar(int layout, unsigned flags = 0, bool force = false);
    int ToolBarLayout() const { return m_layout; }

    // "Marrowgate - " and the active window's title.
    void UpdateTitle();

    void SetStatusTextId(int id);
    void SetStatusText(const QString& text);
    // Shows the active design's sample rate; the pane's text is set only
    // when it changes.
    void UpdateRatePane();

    // Tiles or cascades the design windows.
    void ArrangeWindows(bool tile);

    // The recent-file entries of the File menu.
    void SetRecentFiles(const QStringList& files);

    // The property toolbar and the design commands (main_frame_view.cpp).
    CControlToolBar* ControlBar() const { return m_controlBar; }
    CViewCommands& ViewCommands() const { return *m_viewCommands; }

    // CCommandTarget
    bool OnCommand(int id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

    // How far (pixels) a part button must be dragged beyond the toolbar's
    // edges before its part follows the mouse instead of going in at once.
    static constexpr int kPartDragOff = 4;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The part buttons of the main toolbar: a plain click adds the part at
    // once; a button dragged off the toolbar is clicked at its press point
    // with the part following the mouse.
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void BuildMenus();
    QAction* MakeAction(int id);
    QIcon IconFor(int id) const;
    void InstallViewCommands();
    bool RouteViewCommand(int id);
    bool RouteViewUpdate(CCmdUI& ui);

    CTeskApp* m_app;
    QMdiArea* m_mdi;
    QToolBar* m_toolbar;
    QLabel* m_ratePane;
    CRatePane m_rateText;
    QMenu* m_fileMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
    std::map<int, QAction*> m_actions;
    int m_layout = 0;
    unsigned m_layoutFlags = 0;
    bool m_toolbarShown = true;
    // The part button pressed on the main toolbar, and where (its own
    // coordinates), until it is released or dragged off.
    QPointer<QWidget> m_partButton;
    QPoint m_partPress;
    CHandlerMap m_handlers;
    CControlToolBar* m_controlBar = nullptr;
    std::unique_ptr<CFrameViewCommandHost> m_viewHost;
    std::unique_ptr<CViewCommands> m_viewCommands;
    std::unique_ptr<CPropertyCommands> m_propertyCommands;
};
