// One open design: the document of an MDI child frame.  It holds the item
// (design, undo snapshots), its file path and modified mark, and runs
// New/Open/Save/Save As/Close with their dialogs and messages.  It answers
// the file and edit commands that act on the whole design.
#pragma once

#include "app/commands.h"
#include "app/tesk_item.h"
#include "model/circuit/design_document.h"

#include <QObject>
#include <QString>

#include <memory>

class CCircuit;

class CTeskDoc : public QObject, public CDesignDocument, public CCommandTarget {
    Q_OBJECT
public:
    CTeskDoc();
    ~CTeskDoc() override;

    CCircuit* GetDesign() const { return m_item ? m_item->GetDesign() : nullptr; }
    CTeskItem* GetItem() const { return m_item.get(); }

    // File/New: a fresh design with its defaults.
    bool OnNewDocument();
    // Reads the file; on failure the message has been shown and the
    // document holds what it held before.
    bool OnOpenDocument(const QString& path);
    // Writes the design to path (beside the file, then renamed over it);
    // false, after the message, when it cannot be written.
    bool OnSaveDocument(const QString& path);
    // File/Save: refuses a locked design (36620), asks for a name when the
    // document has none.
    bool DoFileSave();
    // File/Save without the lock test (the Lock File command).
    bool SaveWithoutLockTest();
    // Save As (or Save without a name): the dialog, then the write.  An
    // empty path asks; replace sets the document's path on success.
    bool DoSave(const QString& path, bool replace = true);
    // File/Export/Export Netlist (tesk_doc_export.cpp): the save dialog, then
    // the SPICE netlist; false on Cancel or, after the message, when the
    // file cannot be written.
    bool ExportNetlist();
    // The name the dialog proposes: the design's file as ".cir".
    QString NetlistPathProposal() const;
    // File/Export/Export Flowchart and Options/Programmer
    // (tesk_doc_flowchart.cpp): the export dialog, the chosen flowchart's
    // text (its code's message first) and the file; the programmer dialog.
    bool ExportFlowchartCommand();
    bool EditProgrammer();
    // The save dialog, then the BASIC text, or the assembler text that the
    // compiler plug-in makes of it (PIC classes only, 986 otherwise); false
    // on Cancel or, after the message, when nothing was written.  A file
    // that cannot be written keeps what it held.
    bool ExportFlowchart(const CString& text, const CString& microcontrollerClass, bool assembler);
    // The name the dialog proposes: the design's file as ".bas" or ".asm".
    QString FlowchartPathProposal(bool assembler) const;
    // Asks to save a changed document before it closes: false when the
    // user cancelled or the save failed.
    bool SaveModified();

    QString GetPathName() const { return m_path; }
    void SetPathName(const QString& path);
    QString GetTitle() const { return m_title; }
    void SetTitle(const QString& title);
    bool IsModified() const { return m_modified; }

    // CDesignDocument
    int SaveUndoSnapshot() override;
    void SetModifiedFlag(bool modified) override;
    // The file being read while a design loads (its parts find their
    // pictures beside it), else the document's path.
    CString GetDesignPath() const override;

    bool Undo();
    bool Redo();

    // Publish/Lock File and Unlock File (tesk_doc_lock.cpp): the design is
    // locked and saved, its file made read-only; a save that fails or is
    // cancelled leaves the design unlocked.
    bool LockFile();
    bool UnlockFile();

    // Clipboard commands on the whole design (tesk_doc_clipboard.cpp); the
    // canvas view may answer them first.
    bool OnEditCopy();
    bool OnEditCut();
    bool OnEditPaste();
    bool OnCopySimulation();
    bool CanCopy() const;
    bool CanPaste() const;

    // CCommandTarget
    bool OnCommand(int id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

    // The save dialog's folder when the document has no path yet.
    static QString& DefaultFolder();

signals:
    // The design object was replaced (open, undo, redo): views re-read it.
    void designReplaced();
    // Title or modified mark changed: frames rebuild their titles.
    void titleChanged();

private:
    void DesignChanged();
    QString AskSavePath();

    std::unique_ptr<CTeskItem> m_item;
    QString m_path;
    QString m_loadingPath;
    QString m_title;
    bool m_modified = false;
    CHandlerMap m_handlers;
};
