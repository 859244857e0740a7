#include "app/home/home_pane.h"

#include "app/file_types.h"
#include "app/home/file_browse_ctrl.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kStrBooks = 14010;
constexpr int kStrBlocks = 14011;
constexpr int kStrBooksTip = 14019;
constexpr int kStrBlocksTip = 14020;
constexpr int kStrFolderIsDefault = 36607;

QString Text(int id) { return FromWindows1252(LoadResString(id)); }

bool SameFolder(const QString& a, const QString& b)
{
    auto clean = [](QString s) {
        s = QFileInfo(s).absoluteFilePath();
        while (s.size() > 1 && s.endsWith(QLatin1Char('/'))) s.chop(1);
        return s;
    };
    return clean(a).compare(clean(b), Qt::CaseInsensitive) == 0;
}
} // namespace

CTreeCtrlWrapper::CTreeCtrlWrapper(QWidget* parent)
    : QWidget(parent), m_books(new CFileBrowseCtrl(false, this)), m_blocks(new CFileBrowseCtrl(true, this))
{
    setObjectName(QStringLiteral("Wrapper"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_books);
    layout->addWidget(m_blocks);
    m_books->setObjectName(QStringLiteral("Books"));
    m_blocks->setObjectName(QStringLiteral("Blocks"));
    m_books->setToolTip(Text(kStrBooksTip));
    m_blocks->setToolTip(Text(kStrBlocksTip));
    m_blocks->hide();
    // A file dropped from one tree into the other: each re-reads the folders
    // that changed, if it lists them.
    const struct {
        CFileBrowseCtrl* from;
        CFileBrowseCtrl* to;
    } kPairs[] = {{m_books, m_blocks}, {m_blocks, m_books}};
    for (const auto& p : kPairs)
        connect(p.from, &CFileBrowseCtrl::foldersChanged, p.to, [to = p.to](const QStringList& folders) {
            for (const QString& f : folders) to->Model()->RefreshFolder(f);
        });
}

CTreeCtrlWrapper* CTreeCtrlWrapper::Find(QWidget* w)
{
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* parked = qobject_cast<CTreeCtrlWrapper*>(top)) return parked;
    return w ? w->window()->findChild<CTreeCtrlWrapper*>(QStringLiteral("Wrapper")) : nullptr;
}

int CHomeScreenPane::s_paneCount = 0;

CHomeScreenPane::CHomeScreenPane(QWidget* parent)
    : QWidget(parent), m_title(new QLabel(this)), m_close(new QToolButton(this)), m_area(new QWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 0, 0);
    layout->setSpacing(4);
    auto* head = new QHBoxLayout;
    head->setContentsMargins(0, 0, 0, 0);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_close->setText(QStringLiteral("x"));
    m_close->setAutoRaise(true);
    head->addWidget(m_title, 1);
    head->addWidget(m_close);
    layout->addLayout(head);
    auto* areaLayout = new QVBoxLayout(m_area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_area, 1);
    ++s_paneCount;
    connect(m_close, &QToolButton::clicked, this, &CHomeScreenPane::closeRequested);
    UpdateTitle();
}

CHomeScreenPane::~CHomeScreenPane()
{
    --s_paneCount;
    // The window around the pane is being taken down: only the trees' own
    // place is looked at, never the rest of the window.
    auto* here = m_area->findChild<CTreeCtrlWrapper*>(QString(), Qt::FindDirectChildrenOnly);
    if (s_paneCount == 0) {
        // The last pane: the trees go with it, wherever they are parked.
        if (!here)
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* parked = qobject_cast<CTreeCtrlWrapper*>(w)) delete parked;
        return;
    }
    if (here) {
        // Parked, hidden and on their own, until another pane takes them.
        here->hide();
        here->setParent(nullptr);
    }
}

CTreeCtrlWrapper* CHomeScreenPane::Trees() const
{
    if (auto* here = m_area->findChild<CTreeCtrlWrapper*>(QString(), Qt::FindDirectChildrenOnly)) return here;
    return CTreeCtrlWrapper::Find(const_cast<CHomeScreenPane*>(this));
}

int CHomeScreenPane::TakeTrees()
{
    CTreeCtrlWrapper* trees = Trees();
    int result = 0;
    if (!trees) {
        trees = new CTreeCtrlWrapper(m_area);
        result = 1;
    } else if (trees->parentWidget() != m_area) {
        trees->setParent(m_area);
        result = 2;
    }
    if (result) {
        m_area->layout()->addWidget(trees);
        trees->show();
        // Only the pane that shows the trees opens what is clicked in them.
        disconnect(trees->Books(), &CFileBrowseCtrl::openFileRequested, nullptr, nullptr);
        connect(trees->Books(), &CFileBrowseCtrl::openFileRequested, this, &CHomeScreenPane::openFileRequested);
    }
    trees->Books()->setVisible(m_showBooks);
    trees->Blocks()->setVisible(!m_showBooks);
    UpdateTitle();
    return result;
}

void CHomeScreenPane::FillTrees()
{
    CTreeCtrlWrapper* trees = Trees();
    if (!trees) return;
    const struct {
        CFileBrowseCtrl* tree;
        QString folder;
    } kTrees[] = {{trees->Blocks(), GetLibraryFolder()}, {trees->Books(), GetActivitiesFolder()}};
    for (const auto& t : kTrees) {
        if (t.tree->IsInitialised() && SameFolder(t.tree->Model()->Root(), t.folder)) continue;
        t.tree->SetRoot(t.folder, true);
        t.tree->Initialise();
    }
}

void CHomeScreenPane::RefreshTrees()
{
    if (CTreeCtrlWrapper* trees = Trees()) {
        trees->Books()->Refresh();
        trees->Blocks()->Refresh();
    }
}

void CHomeScreenPane::ShowBooks()
{
    m_showBooks = true;
    if (CTreeCtrlWrapper* trees = Trees(); trees && trees->parentWidget() == m_area) {
        trees->Books()->show();
        trees->Blocks()->hide();
    }
    UpdateTitle();
}

void CHomeScreenPane::ShowBlocks()
{
    m_showBooks = false;
    if (CTreeCtrlWrapper* trees = Trees(); trees && trees->parentWidget() == m_area) {
        trees->Blocks()->show();
        trees->Books()->hide();
    }
    UpdateTitle();
}

bool CHomeScreenPane::IsBooksVisible() const { return m_showBooks; }
bool CHomeScreenPane::IsBlocksVisible() const { return !m_showBooks; }

QString CHomeScreenPane::Title() const { return m_title->text(); }

void CHomeScreenPane::UpdateTitle() { m_title->setText(Text(m_showBooks ? kStrBooks : kStrBlocks)); }

void CHomeScreenPane::MakeSelectionDefault()
{
    CTreeCtrlWrapper* trees = Trees();
    if (!trees) return;
    QString path = trees->Books()->SelectedPath();
    if (path.isEmpty()) return;
    if (!IsDesignFile(path) && !path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    SetActivitiesFolder(QFileInfo(path).absolutePath() + QLatin1Char('/'));
    WbMessageBox(LoadResString(kStrFolderIsDefault), MB_OK);
}

void CHomeScreenPane::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    TakeTrees();
    FillTrees();
}
