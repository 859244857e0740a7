#include "app/tesk_item.h"

#include "model/circuit/circuit.h"
#include "model/designfile/design_file.h"
#include "model/designfile/scope_settings.h"
#include "platform/messagebox.h"

namespace {

// The version word every load starts from and returns to.
constexpr WORD kDefaultFileVersion = 8376;

// The graph settings a design record reads or writes, for one read or write.
class CGraphSettingsScope {
public:
    explicit CGraphSettingsScope(CScopeToolbar* settings) : m_previous(CScopeToolbar::ActiveViewSettings())
    {
        CScopeToolbar::ActiveViewSettings() = settings;
    }
    ~CGraphSettingsScope() { CScopeToolbar::ActiveViewSettings() = m_previous; }
    CGraphSettingsScope(const CGraphSettingsScope&) = delete;
    CGraphSettingsScope& operator=(const CGraphSettingsScope&) = delete;

private:
    CScopeToolbar* m_previous;
};

} // namespace

CTeskItem::CTeskItem(CDesignDocument* document)
    : m_document(document), m_design(std::make_unique<CCircuit>()), m_graph(std::make_shared<CScopeToolbar>())
{
    CopyInProgress() = 0;
    m_design->m_pDocument = m_document;
}

CTeskItem::~CTeskItem()
{
    if (m_design) m_design->ClearDesign(0);
}

int& CTeskItem::CopyInProgress()
{
    static int inProgress = 0;
    return inProgress;
}

std::unique_ptr<CCircuit> CTeskItem::ReadDesign(const std::vector<uint8_t>& bytes, bool document,
                                                ReadResult* result)
{
    CArchive ar(bytes);
    ar.SetDocumentSerialization(document);
    ar.SetVersion(kDefaultFileVersion);
    ReadResult r = ReadResult::kOk;
    std::unique_ptr<CCircuit> design;
    try {
        // Any class is read, then checked: a file or clipboard holding some
        // other object must not become the design.
        std::unique_ptr<CObject> object(ar.ReadNewObject(nullptr));
        if (auto* d = dynamic_cast<CCircuit*>(object.get())) {
            object.release();
            design.reset(d);
        } else {
            r = ReadResult::kNotADesign;
        }
    } catch (const CNewerDesignException&) {
        r = ReadResult::kNewer;
    } catch (const CException&) {
        ReportDesignLoadFailure(ar);
        r = ReadResult::kDamaged;
    }
    if (result) *result = r;
    return design;
}

std::vector<uint8_t> CTeskItem::WriteDesign(const CCircuit* design, bool document)
{
    CArchive ar;
    ar.SetDocumentSerialization(document);
    ar.WriteObject(design);
    return ar.GetBuffer();
}

CTeskItem::ReadResult CTeskItem::Load(const std::vector<uint8_t>& bytes)
{
    ReadResult r = ReadResult::kOk;
    // Read aside: a damaged file leaves the graph settings as they were.
    CScopeToolbar read;
    std::unique_ptr<CCircuit> design;
    {
        CGraphSettingsScope scope(&read);
        design = ReadDesign(bytes, true, &r);
    }
    if (!design) return r;
    m_graph->CopySettings(read);
    Adopt(std::move(design), true);
    if (m_document) m_document->SetModifiedFlag(false);
    SaveUndoSnapshot();
    return ReadResult::kOk;
}

std::vector<uint8_t> CTeskItem::Store(bool document) const
{
    const CCircuit* d = m_design.get();
    if (CopyInProgress() && d && d->GetLinkedDesign()) d = d->GetLinkedDesign();
    CGraphSettingsScope scope(m_graph.get());
    return WriteDesign(d, document);
}

void CTeskItem::SetDesign(std::unique_ptr<CCircuit> design)
{
    Adopt(std::move(design), false);
}

void CTeskItem::Adopt(std::unique_ptr<CCircuit> design, bool afterLoad)
{
    if (m_design) {
        if (CCircuit::ActiveCircuit() == m_design.get()) CCircuit::ActiveCircuit() = design.get();
        m_design->ClearDesign(0);
    }
    m_design = std::move(design);
    m_design->m_pDocument = m_document;
    if (afterLoad) m_design->AfterLoad(m_design.get(), 0, m_design->m_wVersionWord);
}

int CTeskItem::SaveUndoSnapshot()
{
    if (m_undoOff || !m_design) return 0;
    if (!m_lastRestoreWasUndo) m_undoFile = m_currentFile;
    m_lastRestoreWasUndo = 0;
    m_currentFile = 1 - m_undoFile;
    // A snapshot never holds the stopped-for-edit bit, whichever way it
    // was asked for (the design's SaveUndoSnapshot, or a load).
    const DWORD stopped = m_design->m_dwOptions & OPT_STOPPED_FOR_EDIT;
    m_design->m_dwOptions &= ~stopped;
    try {
        m_snapshot[m_currentFile] = WriteDesign(m_design.get(), false);
    } catch (const std::exception&) {
        m_design->m_dwOptions |= stopped;
        SwitchUndoOff();
        return 0;
    }
    m_design->m_dwOptions |= stopped;
    return 1;
}

int CTeskItem::RestoreSnapshot(bool undo)
{
    if (m_undoOff) return 0;
    const int file = undo ? m_undoFile : m_currentFile;
    // An empty snapshot (none taken yet) restores nothing and costs nothing:
    // undo stays available.
    if (m_snapshot[file].empty()) return 0;
    m_lastRestoreWasUndo = undo ? 1 : 0;
    try {
        CArchive ar(m_snapshot[file]);
        ar.SetVersion(kDefaultFileVersion);
        std::unique_ptr<CObject> object(ar.ReadNewObject(RUNTIME_CLASS(CCircuit)));
        std::unique_ptr<CCircuit> design(static_cast<CCircuit*>(object.release()));
        if (!design) throw CArchiveException(CArchiveException::badClass);
        Adopt(std::move(design), true);
    } catch (const std::exception&) {
        SwitchUndoOff();
        return 0;
    }
    return 1;
}

bool CTeskItem::CanUndo() const
{
    return !m_undoOff && !m_snapshot[m_undoFile].empty() && m_undoFile != m_currentFile;
}

bool CTeskItem::CanRedo() const
{
    return !m_undoOff && m_lastRestoreWasUndo && !m_snapshot[m_currentFile].empty();
}

void CTeskItem::SwitchUndoOff()
{
    WbMessageBox(36519, MB_OK);
    m_undoOff = 1;
    m_snapshot[0].clear();
    m_snapshot[0].shrink_to_fit();
    m_snapshot[1].clear();
    m_snapshot[1].shrink_to_fit();
}
