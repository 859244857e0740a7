// The application object: start-up, the documents and their windows,
// File/New and File/Open, the recent-file list, command routing (active
// view, its document, the main frame, the application) and idle work.
#pragma once

#include "app/about_box.h"
#include "app/commands.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <vector>

class CSoundSystem;
class CIdleDriver;
class QApplication;
class QEvent;
class QPrinter;
class CMainFrame;
class CTeskDoc;
class CTeskFrame;
class CTeskView;

class CTeskApp : public QObject, public CCommandTarget {
    Q_OBJECT
public:
    CTeskApp();
    ~CTeskApp() override;

    // The one application object (null before it is made).
    static CTeskApp* Get();

    // Start-up: main frame, file types, then the file named by the command
    // line (one path; surrounding quotes removed) or an empty design.
    // When no file was opened, the About box shows for a moment (see
    // SetStartupAbout).
    bool InitInstance(const QStringList& arguments);
    // Whether start-up shows the About box when it opened no file (off
    // until the program turns it on, so tests and other hosts see none).
    void SetStartupAbout(bool show) { m_startupAbout = show; }
    // The start-up About box while it shows, else null.
    CAboutBox* StartupAbout() const { return m_splash.data(); }
    void ExitInstance();

    CMainFrame* GetMainFrame() const { return m_frame.get(); }
    // The one sound output of the run: the default audio output, or the
    // silent device when there is none.
    CSoundSystem& Sound() { return *m_sound; }
    CTeskView* GetActiveView() const;
    CTeskDoc* GetActiveDocument() const;
    const std::vector<std::unique_ptr<CTeskDoc>>& Documents() const { return m_documents; }
    std::vector<CTeskFrame*> FramesOf(const CTeskDoc* document) const;

    // File/New: an empty design in a new window.
    CTeskDoc* OnFileNew();
    // File/Open with the dialog.
    void OnFileOpen();
    // Opens a file (or shows its window when it is open already); null
    // after the message when it cannot be read.
    CTeskDoc* OpenDocumentFile(const QString& path);
    // A later start handed this path over: it opens here and the main
    // window comes to the front.
    void OpenFromAnotherStart(const QString& path);
    // Asks to save and closes every window of the document.
    bool CloseDocument(CTeskDoc* document);
    bool CloseAllDocuments();
    // Another window on the document.
    CTeskFrame* NewWindow(CTeskDoc* document);

    // The print switches of the command line: "/p file" prints to the
    // default printer, "/pt file printer" to the named one (a name ending
    // in ".pdf" is a PDF file).  -1 when the arguments are no print switch,
    // else the exit code.
    static int PrintFromCommandLine(const QStringList& arguments);
    // Prints a document through the printer (the print dialog's choice).
    bool PrintDocument(CTeskDoc* document, QPrinter& printer);

    // Runs a command along the route; true when someone handled it.  An
    // exception that escapes the handler is reported (ReportException) and
    // the command counts as handled.
    bool RouteCommand(int id);
    // Reports the exception being handled (call it inside a catch block):
    // the active design stops, then a message box says what went wrong
    // (out of memory, out of drawing resources, or the exception's text).
    void ReportException();
    // A command of the application itself (the route's last target).
    void AddCommand(int id, CHandlerMap::Handler handler, CHandlerMap::Updater update = {});
    // Help/About and the movie player's About box.
    void OnAppAbout();
    void OnAboutMoviePlayer();
    void RouteUpdate(CCmdUI& ui);

    QStringList RecentFiles() const { return m_recent; }
    void AddToRecentFiles(const QString& path);

    // Idle work: the frame's update pass, then the active view's idle step.
    // True while more idle time is wanted.
    bool OnIdle(long count);
    // Starts the idle timer (it stops itself when no more is wanted).
    void KickIdle();

    // CCommandTarget
    bool OnCommand(int id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

    // Input ends: idle work (the update pass first) gets its turn.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void MakeDeferredStrips();

signals:
    void documentOpened(CTeskDoc* document);

private:
    CTeskDoc* AddDocument(std::unique_ptr<CTeskDoc> document);
    void OnFrameCloseRequested(CTeskFrame* frame);
    void RenumberFrames(const CTeskDoc* document);
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    void ShowOpenDocumentsWarning() const;

    // Made first and gone last: windows and designs stop it as they go.
    std::unique_ptr<CSoundSystem> m_sound;
    std::unique_ptr<CMainFrame> m_frame;
    std::vector<std::unique_ptr<CTeskDoc>> m_documents;
    std::unique_ptr<CIdleDriver> m_idle;
    std::unique_ptr<QPrinter> m_printer;
    QStringList m_recent;
    CHandlerMap m_handlers;
    bool m_startupAbout = false;
    // The toolbar strips are made once the first design window has painted.
    bool m_stripsPending = false;
    QPointer<CAboutBox> m_splash;
};

// Delivers an event through the application's own delivery; an exception
// that escapes an event handler (a canvas press, a paint, a timer step) is
// reported like one from a command (CTeskApp::ReportException) instead of
// ending the program.  The program's QApplication delivers every event
// through it.
bool DeliverReportingExceptions(QApplication& app, QObject* receiver, QEvent* event);
