#include "app/movie/movie_window.h"
#include "app/tesk_app.h"

#include "app/about_box.h"
#include "app/shared_bitmaps.h"
#include "app/canvas/tesk_view.h"
#include "app/file_dialogs.h"
#include "app/file_type_dialog.h"
#include "app/file_types.h"
#include "app/main_frame.h"
#include "app/print.h"
#include "app/qt_sound_device.h"
#include "app/sim_host.h"
#include "app/tesk_doc.h"
#include "app/tesk_frame.h"
#include "measure/sound_system.h"
#include "model/circuit/circuit.h"
#include "model/designfile/ini_file.h"
#include "model/designfile/settings_file.h"
#include "model/display/display.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QApplication>
#include <QMediaDevices>
#include <QScreen>
#include <QTimer>
#include <QFileInfo>
#include <QMdiArea>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <new>

namespace {

CTeskApp* g_app = nullptr;
constexpr int kRecentFileCount = 4;
constexpr const char* kRecentSection = "Recent File List";
// More open documents than this bring the warning about resources.
constexpr int kDocumentWarningCount = 11;
constexpr int kStrNoMemory = 61830;
constexpr int kStrNoResources = 35022;
constexpr int kStrCommandFailed = 61831;

QString StripQuotes(QString path)
{
    path = path.trimmed();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    return path;
}

} // namespace

CTeskApp::CTeskApp()
    : m_handlers([this] {
          CTeskDoc* doc = GetActiveDocument();
          CCircuit* d = doc ? doc->GetDesign() : nullptr;
          return CHandlerMap::DesignState{d != nullptr, d && d->IsLocked()};
      })
{
    g_app = this;
    // The default audio output when there is one; without a sound card the
    // silent device, so the program runs on the same way.
    auto device = MakeSoundDevice(QMediaDevices::defaultAudioOutput());
    // Ended buffers come back through the event loop, as a device's
    // messages would.
    device->SetPoster([this](std::function<void()> deliver) { QTimer::singleShot(0, this, std::move(deliver)); });
    m_sound = std::make_unique<CSoundSystem>(std::move(device));
    m_sound->SetBeep([] { QApplication::beep(); });
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_idle = std::make_unique<CIdleDriver>([this](long count) { return OnIdle(count); });
    m_handlers.Add(57600, [this] { OnFileNew(); });
    m_handlers.Add(57601, [this] { OnFileOpen(); });
    m_handlers.Add(57602, [this] {
        if (CTeskDoc* doc = GetActiveDocument()) CloseDocument(doc);
    });
    m_handlers.Add(57648, [this] {
        if (CTeskDoc* doc = GetActiveDocument()) NewWindow(doc);
    });
    m_handlers.Add(34211, [this] {
        for (auto& doc : m_documents)
            if (doc->IsModified()) doc->DoFileSave();
    });
    m_handlers.Add(57607, [this] {
        CTeskDoc* doc = GetActiveDocument();
        if (!doc) return;
        QPrintDialog dialog(m_printer.get(), m_frame.get());
        if (dialog.exec() == QDialog::Accepted) PrintDocument(doc, *m_printer);
    });
    m_handlers.Add(57609, [this] {
        CTeskDoc* doc = GetActiveDocument();
        if (!doc) return;
        QPrintPreviewDialog dialog(m_printer.get(), m_frame.get());
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
                [this, doc](QPrinter* printer) { PrintDocument(doc, *printer); });
        dialog.exec();
    });
    m_handlers.Add(57606, [this] {
        QPageSetupDialog dialog(m_printer.get(), m_frame.get());
        dialog.exec();
    });
    m_handlers.Add(36090, [this] { RunFileTypeDialog(m_frame.get()); });
    m_handlers.Add(34222, [this] {
        if (CloseAllDocuments()) OnFileNew();
    });
    m_handlers.Add(57664, [this] { OnAppAbout(); });
    m_handlers.Add(34270, [this] { OnAboutMoviePlayer(); });
}

void CTeskApp::AddCommand(int id, CHandlerMap::Handler handler, CHandlerMap::Updater update)
{
    m_handlers.Add(id, std::move(handler), std::move(update));
}

void CTeskApp::OnAppAbout()
{
    CAboutBox box(CAboutBox::kProgram, m_frame.get());
    box.exec();
}

void CTeskApp::OnAboutMoviePlayer()
{
    CAboutBox box(CAboutBox::kMoviePlayer, m_frame.get());
    box.exec();
}

CTeskApp::~CTeskApp()
{
    // Frames go before their documents.
    if (m_frame) m_frame->MdiArea()->closeAllSubWindows();
    m_frame.reset();
    m_documents.clear();
    if (g_app == this) g_app = nullptr;
}

CTeskApp* CTeskApp::Get()
{
    return g_app;
}

namespace {
// The frame takes most of the screen it opens on (nine tenths each way,
// centred), so the canvas has room and the frame's edges stay in reach.
void PlaceOnScreen(QWidget& frame)
{
    const QScreen* screen = frame.screen() ? frame.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        frame.resize(1024, 720);
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize size(std::max(640, area.width() * 9 / 10), std::max(480, area.height() * 9 / 10));
    frame.resize(size.boundedTo(area.size()));
    frame.move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
}
} // namespace

bool CTeskApp::InitInstance(const QStringList& arguments)
{
    // The toolbar strips of the shared bitmap table are made after the first
    // paint (composing them from the buttons' pictures took 409 ms of the
    // debug build's start-up), or at once when a part's orientation buttons
    // ask for them first.
    SetSharedBitmapFiller(&RegisterSharedBitmaps);
    m_stripsPending = true;
    LoadDefaultFont(true, SettingsFilePath());
    InstallMovieSupport();
    m_frame = std::make_unique<CMainFrame>(this);
    DialogParent() = m_frame.get();
    RegisterChosenFileTypes(ReadFileTypeChoice());
    LoadRecentFiles();
    PlaceOnScreen(*m_frame);
    m_frame->show();
    qApp->installEventFilter(this);
    // The whole command line is one document path.
    const QString path = StripQuotes(arguments.join(QLatin1Char(' ')));
    const bool opened = !path.isEmpty() && OpenDocumentFile(path);
    if (!opened) OnFileNew();
    m_frame->UpdateCommands();
    if (!opened && m_startupAbout) m_splash = CAboutBox::ShowSplash(m_frame.get());
    return true;
}

void CTeskApp::ExitInstance()
{
    SaveRecentFiles();
    qApp->removeEventFilter(this);
}

CTeskView* CTeskApp::GetActiveView() const
{
    CTeskFrame* f = m_frame ? m_frame->ActiveFrame() : nullptr;
    return f ? f->GetView() : nullptr;
}

CTeskDoc* CTeskApp::GetActiveDocument() const
{
    CTeskFrame* f = m_frame ? m_frame->ActiveFrame() : nullptr;
    return f ? f->GetDocument() : nullptr;
}

std::vector<CTeskFrame*> CTeskApp::FramesOf(const CTeskDoc* document) const
{
    std::vector<CTeskFrame*> frames;
    if (!m_frame) return frames;
    for (QMdiSubWindow* w : m_frame->MdiArea()->subWindowList())
        if (auto* f = qobject_cast<CTeskFrame*>(w); f && f->GetDocument() == document) frames.push_back(f);
    return frames;
}

CTeskDoc* CTeskApp::AddDocument(std::unique_ptr<CTeskDoc> document)
{
    CTeskDoc* doc = document.get();
    m_documents.push_back(std::move(document));
    NewWindow(doc);
    emit documentOpened(doc);
    return doc;
}

CTeskFrame* CTeskApp::NewWindow(CTeskDoc* document)
{
    auto* frame = new CTeskFrame(document);
    connect(frame, &CTeskFrame::closeRequested, this, &CTeskApp::OnFrameCloseRequested);
    connect(frame, &CTeskFrame::titleUpdated, m_frame.get(), &CMainFrame::UpdateTitle);
    m_frame->MdiArea()->addSubWindow(frame);
    RenumberFrames(document);
    // Design windows open maximised.
    frame->showMaximized();
    m_frame->MdiArea()->setActiveSubWindow(frame);
    frame->GetView()->setFocus();
    return frame;
}

void CTeskApp::RenumberFrames(const CTeskDoc* document)
{
    const std::vector<CTeskFrame*> frames = FramesOf(document);
    for (size_t i = 0; i < frames.size(); ++i) frames[i]->SetWindowNumber(frames.size() > 1 ? int(i) + 1 : 0);
}

CTeskDoc* CTeskApp::OnFileNew()
{
    auto doc = std::make_unique<CTeskDoc>();
    if (!doc->OnNewDocument()) return nullptr;
    CTeskDoc* result = AddDocument(std::move(doc));
    ShowOpenDocumentsWarning();
    return result;
}

void CTeskApp::OnFileOpen()
{
    CTeskDoc* before = GetActiveDocument();
    CCircuit* design = before ? before->GetDesign() : nullptr;
    if (design) design->ControlSimulation(SIM_DEACTIVATE);
    CString documentPath, file;
    if (!ShowFileOpenDialog(kOpenDesigns, &documentPath, &file, false)) return;
    OpenDocumentFile(QString::fromLocal8Bit(file.c_str()));
    CTeskDoc* now = GetActiveDocument();
    if (design && (now == before || !now) && before->GetDesign() == design) design->ControlSimulation(SIM_ACTIVATE);
}

CTeskDoc* CTeskApp::OpenDocumentFile(const QString& given)
{
    QString path = StripQuotes(given);
    if (path.isEmpty()) return nullptr;
    // The long form when it can be made and fits; else the path as given.
    QByteArray buffer(kMaxPathLength, '\0');
    const QByteArray given8 = path.toLocal8Bit();
    const unsigned length = NormalizeLongPath(given8.constData(), buffer.data(), kMaxPathLength);
    if (length > 0 && length < kMaxPathLength) path = QString::fromLocal8Bit(buffer.constData());
    path = QFileInfo(path).absoluteFilePath();
    // A design that is open already is shown, not read twice.
    for (auto& doc : m_documents)
        if (doc->GetPathName() == path) {
            const std::vector<CTeskFrame*> frames = FramesOf(doc.get());
            if (!frames.empty()) m_frame->MdiArea()->setActiveSubWindow(frames.front());
            return doc.get();
        }
    auto doc = std::make_unique<CTeskDoc>();
    if (!doc->OnOpenDocument(path)) return nullptr;
    // An untouched empty design gives its window to the opened one.
    CTeskDoc* replace = nullptr;
    if (m_documents.size() == 1 && m_documents.front()->GetPathName().isEmpty() && !m_documents.front()->IsModified())
        replace = m_documents.front().get();
    CTeskDoc* result = AddDocument(std::move(doc));
    if (replace) CloseDocument(replace);
    AddToRecentFiles(path);
    ShowOpenDocumentsWarning();
    return result;
}

void CTeskApp::OpenFromAnotherStart(const QString& path)
{
    OpenDocumentFile(path);
    if (m_frame) {
        if (m_frame->isMinimized()) m_frame->showNormal();
        m_frame->raise();
        m_frame->activateWindow();
    }
}

void CTeskApp::ShowOpenDocumentsWarning() const
{
    if (int(m_documents.size()) > kDocumentWarningCount) WbMessageBox(35101, MB_OK | MB_ICONINFORMATION);
}

bool CTeskApp::CloseDocument(CTeskDoc* document)
{
    if (!document->SaveModified()) return false;
    for (CTeskFrame* f : FramesOf(document)) {
        f->AllowClose();
        m_frame->MdiArea()->removeSubWindow(f);
        delete f;
    }
    auto it = std::find_if(m_documents.begin(), m_documents.end(), [&](auto& d) { return d.get() == document; });
    if (it != m_documents.end()) {
        if (CCircuit::ActiveCircuit() == (*it)->GetDesign()) CCircuit::ActiveCircuit() = nullptr;
        m_documents.erase(it);
    }
    if (m_frame) m_frame->UpdateCommands();
    return true;
}

bool CTeskApp::CloseAllDocuments()
{
    while (!m_documents.empty())
        if (!CloseDocument(m_documents.back().get())) return false;
    return true;
}

void CTeskApp::OnFrameCloseRequested(CTeskFrame* frame)
{
    CTeskDoc* doc = frame->GetDocument();
    if (FramesOf(doc).size() > 1) {
        frame->AllowClose();
        m_frame->MdiArea()->removeSubWindow(frame);
        frame->deleteLater();
        frame->hide();
        QMetaObject::invokeMethod(this, [this, doc] { RenumberFrames(doc); }, Qt::QueuedConnection);
        return;
    }
    CloseDocument(doc);
}

bool CTeskApp::PrintDocument(CTeskDoc* document, QPrinter& printer)
{
    CCircuit* design = document ? document->GetDesign() : nullptr;
    if (!design) return false;
    design->ControlSimulation(SIM_DEACTIVATE);
    const bool ok = PrintDesign(design, printer);
    if (!ok) WbMessageBox(61704, MB_OK | MB_ICONEXCLAMATION);
    design->ControlSimulation(SIM_ACTIVATE);
    return ok;
}

int CTeskApp::PrintFromCommandLine(const QStringList& arguments)
{
    const QString verb = arguments.value(0);
    if (verb != QLatin1String("/p") && verb != QLatin1String("/pt")) return -1;
    const QString path = StripQuotes(arguments.value(1));
    CTeskDoc doc;
    if (path.isEmpty() || !doc.OnOpenDocument(path)) return 1;
    QPrinter printer(QPrinter::HighResolution);
    const QString target = verb == QLatin1String("/pt") ? StripQuotes(arguments.value(2)) : QString();
    if (target.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(target);
    } else if (!target.isEmpty()) {
        printer.setPrinterName(target);
    }
    return PrintDesign(doc.GetDesign(), printer) ? 0 : 1;
}

bool CTeskApp::RouteCommand(int id)
{
    try {
        CCommandTarget* route[] = {GetActiveView(), GetActiveDocument(), m_frame.get(), this};
        for (CCommandTarget* t : route)
            if (t && t->OnCommand(id)) {
                KickIdle();
                return true;
            }
    } catch (...) {
        ReportException();
        return true;
    }
    return false;
}

void CTeskApp::ReportException()
{
    // The design stops first: a step must not run into the same fault
    // while the message is up.
    if (CTeskDoc* doc = GetActiveDocument(); doc && doc->GetDesign()) {
        try {
            doc->GetDesign()->ControlSimulation(SIM_DEACTIVATE);
        } catch (...) {
        }
    }
    QString detail;
    int message = kStrCommandFailed;
    try {
        throw;
    } catch (const CMemoryException&) {
        message = kStrNoMemory;
    } catch (const std::bad_alloc&) {
        message = kStrNoMemory;
    } catch (const CResourceException&) {
        message = kStrNoResources;
    } catch (const std::exception& e) {
        detail = QString::fromLocal8Bit(e.what());
    } catch (...) {
        detail = QStringLiteral("?");
    }
    if (message != kStrCommandFailed) {
        WbMessageBox(message, MB_OK | MB_ICONSTOP);
        return;
    }
    const QString text = FromWindows1252(LoadResString(kStrCommandFailed)).arg(detail);
    WbMessageBox(ToWindows1252(text), MB_OK | MB_ICONSTOP);
}

void CTeskApp::RouteUpdate(CCmdUI& ui)
{
    CCommandTarget* route[] = {GetActiveView(), GetActiveDocument(), m_frame.get(), this};
    for (CCommandTarget* t : route)
        if (t && t->OnUpdateCommand(ui)) return;
}

void CTeskApp::LoadRecentFiles()
{
    CIniFile ini(SettingsFilePath());
    ini.Load();
    m_recent.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        CString value;
        if (ini.GetString(kRecentSection, "File" + std::to_string(i), &value) && !value.empty())
            m_recent << QString::fromLocal8Bit(value.c_str());
    }
    if (m_frame) m_frame->SetRecentFiles(m_recent);
}

void CTeskApp::SaveRecentFiles() const
{
    CIniFile ini(SettingsFilePath());
    ini.Load();
    ini.DeleteSection(kRecentSection);
    for (int i = 0; i < m_recent.size(); ++i)
        ini.SetString(kRecentSection, "File" + std::to_string(i + 1), CString(m_recent[i].toLocal8Bit().toStdString()));
    ini.Save();
}

void CTeskApp::AddToRecentFiles(const QString& path)
{
    m_recent.removeAll(path);
    m_recent.prepend(path);
    while (m_recent.size() > kRecentFileCount) m_recent.removeLast();
    if (m_frame) m_frame->SetRecentFiles(m_recent);
    SaveRecentFiles();
}

bool CTeskApp::OnIdle(long count)
{
    if (count == 0 && m_frame) m_frame->UpdateCommands();
    CTeskView* view = GetActiveView();
    return view ? view->IdleStep(count) : false;
}

void CTeskApp::KickIdle()
{
    m_idle->Kick();
}

bool CTeskApp::eventFilter(QObject* watched, QEvent* event)
{
    if (m_stripsPending && event->type() == QEvent::Paint && watched->parent() &&
        qobject_cast<CTeskView*>(watched->parent())) {
        m_stripsPending = false;
        QTimer::singleShot(0, this, [this] { MakeDeferredStrips(); });
    }
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
        KickIdle();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// A strip that cannot be made ends the program with the resources message.
void CTeskApp::MakeDeferredStrips()
{
    try {
        FillSharedBitmaps();
    } catch (const CResourceException&) {
        ReportException();
        QCoreApplication::exit(1);
    }
}

bool CTeskApp::OnCommand(int id) { return m_handlers.OnCommand(id); }
bool CTeskApp::OnUpdateCommand(CCmdUI& ui) { return m_handlers.OnUpdateCommand(ui); }

bool DeliverReportingExceptions(QApplication& app, QObject* receiver, QEvent* event)
{
    try {
        return app.QApplication::notify(receiver, event);
    } catch (...) {
        if (CTeskApp* tesk = CTeskApp::Get()) tesk->ReportException();
        return false;
    }
}
