#include "app/home/home_commands.h"

#include "app/commands.h"
#include "app/file_types.h"
#include "app/home/home_pane.h"
#include "app/main_frame.h"
#include "app/tesk_frame.h"
#include "platform/messagebox.h"
#include "platform/strings.h"

#include <QFileDialog>
#include <QMdiArea>

namespace {

constexpr int kStrFolderIsDefault = 36607;

enum : int {
    ID_VIEW_BOOKS = 34271,
    ID_VIEW_BLOCKS = 34274,
    ID_TOGGLE_BOOKS = 34178,
    ID_TOGGLE_BLOCKS = 34179,
    ID_BOOKS_FOLDER = 34217,
    ID_BLOCKS_FOLDER = 34226,
    ID_REFRESH_FOLDERS = 34227,
};

// Every home pane of the main window takes the new folder or re-reads.
void ForEachPane(CMainFrame* frame, void (CHomeScreenPane::*act)())
{
    for (CHomeScreenPane* pane : frame->findChildren<CHomeScreenPane*>()) (pane->*act)();
}

void ChooseFolder(CMainFrame* frame, QString (*get)(), bool (*set)(const QString&))
{
    const QString folder = QFileDialog::getExistingDirectory(frame, QString(), get());
    if (folder.isEmpty()) return;
    set(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/'));
    WbMessageBox(LoadResString(kStrFolderIsDefault), MB_OK);
    if (CTeskFrame* active = frame->ActiveFrame(); active && active->GetHomePane()) active->GetHomePane()->FillTrees();
}

} // namespace

void RegisterHomeCommands(CHandlerMap& handlers, CMainFrame* frame)
{
    // The frame commands act on the active design window.
    auto onFrame = [frame](auto act) {
        return [frame, act] {
            if (CTeskFrame* f = frame->ActiveFrame()) act(f);
        };
    };
    auto checkedBy = [frame](bool (CTeskFrame::*shown)() const) {
        return [frame, shown](CCmdUI& ui) {
            CTeskFrame* f = frame->ActiveFrame();
            ui.Enable(f != nullptr);
            ui.SetCheck(f && (f->*shown)());
        };
    };
    handlers.Add(ID_VIEW_BOOKS, onFrame([](CTeskFrame* f) { f->ShowBooks(); }), checkedBy(&CTeskFrame::IsBooksShown));
    handlers.Add(ID_VIEW_BLOCKS, onFrame([](CTeskFrame* f) { f->ShowBlocks(); }),
                 checkedBy(&CTeskFrame::IsBlocksShown));
    handlers.Add(ID_TOGGLE_BOOKS, onFrame([](CTeskFrame* f) { f->ToggleBooks(); }),
                 checkedBy(&CTeskFrame::IsBooksShown));
    handlers.Add(ID_TOGGLE_BLOCKS, onFrame([](CTeskFrame* f) { f->ToggleBlocks(); }),
                 checkedBy(&CTeskFrame::IsBlocksShown));
    handlers.Add(ID_BOOKS_FOLDER, [frame] { ChooseFolder(frame, &GetActivitiesFolder, &SetActivitiesFolder); });
    handlers.Add(ID_BLOCKS_FOLDER, [frame] { ChooseFolder(frame, &GetLibraryFolder, &SetLibraryFolder); });
    handlers.Add(ID_REFRESH_FOLDERS, [frame] { ForEachPane(frame, &CHomeScreenPane::RefreshTrees); });
}
