// The document's item: it owns the design root, reads and writes it through
// the design archive (files, clipboard, undo), and keeps the one-level undo
// and redo as two in-memory snapshots of the same archive.  No window code:
// the document and the clipboard glue around it are in tesk_doc.* and
// clipboard.*.
#pragma once

#include "model/circuit/design_document.h"
#include "platform/archive.h"

#include <cstdint>
#include <memory>
#include <vector>

class CCircuit;
class CScopeToolbar;

class CTeskItem {
public:
    explicit CTeskItem(CDesignDocument* document);
    ~CTeskItem();
    CTeskItem(const CTeskItem&) = delete;
    CTeskItem& operator=(const CTeskItem&) = delete;

    CCircuit* GetDesign() const { return m_design.get(); }
    // The document's graph settings: read with the design from its file
    // and written with it; the graph pane edits them.
    CScopeToolbar& GetGraphSettings() const { return *m_graph; }
    // Shared with a graph pane, which may outlive the document while its
    // window closes.
    std::shared_ptr<CScopeToolbar> ShareGraphSettings() const { return m_graph; }

    // How a read ended.  On kDamaged and kNewer the message has been shown;
    // kNotADesign (the data holds another kind of object) is reported by the
    // caller, who knows whether it came from a file or the clipboard.
    enum class ReadResult { kOk, kDamaged, kNewer, kNotADesign };
    // Reads one design from archive bytes.  A document read (files) marks
    // the archive as a document archive.
    static std::unique_ptr<CCircuit> ReadDesign(const std::vector<uint8_t>& bytes, bool document,
                                                ReadResult* result);
    // Writes a design into archive bytes.
    static std::vector<uint8_t> WriteDesign(const CCircuit* design, bool document);

    // Loading a document: the read design replaces the item's, is linked to
    // the document, runs its after-load fix-ups; the modified mark is cleared
    // and an undo snapshot taken.  The item's design is untouched on failure.
    ReadResult Load(const std::vector<uint8_t>& bytes);
    // The document's bytes: the design, or its linked design while a copy
    // is in progress.
    std::vector<uint8_t> Store(bool document) const;
    // Takes a new design (a fresh one for File/New).
    void SetDesign(std::unique_ptr<CCircuit> design);

    // Undo and redo (one level each way).
    int SaveUndoSnapshot();
    int RestoreSnapshot(bool undo);
    // Undo has a snapshot to go back to; redo has an undone state to return to.
    bool CanUndo() const;
    bool CanRedo() const;
    bool IsUndoOff() const { return m_undoOff != 0; }

    // Set by the canvas while Edit/Copy or Copy Simulation runs: storing
    // then writes the design's linked design.
    static int& CopyInProgress();

private:
    void Adopt(std::unique_ptr<CCircuit> design, bool afterLoad);
    void SwitchUndoOff();

    CDesignDocument* m_document;
    std::unique_ptr<CCircuit> m_design;
    std::shared_ptr<CScopeToolbar> m_graph;
    std::vector<uint8_t> m_snapshot[2];
    int m_undoFile = 0;    // index of the snapshot Undo restores
    int m_currentFile = 0; // index of the snapshot of the present state
    int m_lastRestoreWasUndo = 0;
    int m_undoOff = 0;
};
