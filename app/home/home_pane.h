// The home screen: the left column of every design window.  It shows a
// title, a close button and one of the two program-wide trees, "Books"
// (activities, opened by clicking) and "Blocks (drag to add)" (designs
// dragged onto the canvas as modules).
//
// The two trees exist once, inside one CTreeCtrlWrapper that moves to the
// pane of the window being shown (TakeTrees); when that pane goes, the
// wrapper is parked, hidden, under the main window until another pane takes
// it, and it goes with the last pane.
#pragma once

#include <QWidget>

class CFileBrowseCtrl;
class QLabel;
class QToolButton;

class CTreeCtrlWrapper : public QWidget {
    Q_OBJECT
public:
    explicit CTreeCtrlWrapper(QWidget* parent);
    CFileBrowseCtrl* Books() const { return m_books; }
    CFileBrowseCtrl* Blocks() const { return m_blocks; }
    // The wrapper: parked on its own, or in a pane of w's top-level window.
    static CTreeCtrlWrapper* Find(QWidget* w);

private:
    CFileBrowseCtrl* m_books;
    CFileBrowseCtrl* m_blocks;
};

class CHomeScreenPane : public QWidget {
    Q_OBJECT
public:
    explicit CHomeScreenPane(QWidget* parent = nullptr);
    ~CHomeScreenPane() override;

    void ShowBooks();
    void ShowBlocks();
    bool IsBooksVisible() const;
    bool IsBlocksVisible() const;
    // Brings the shared trees into this pane; 2 when they were moved here,
    // 1 when they were made here, 0 when they were here already.
    int TakeTrees();
    // Fills a tree whose folder setting differs from its root (or that is
    // not filled yet).
    void FillTrees();
    // Re-reads the listed folders of both trees.
    void RefreshTrees();
    // Books tree: the selected folder becomes the settings' Books folder.
    void MakeSelectionDefault();
    CTreeCtrlWrapper* Trees() const;
    QString Title() const;

signals:
    // The close button: the window closes its home column.
    void closeRequested();
    // A design file was chosen in the Books tree.
    void openFileRequested(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void UpdateTitle();

    QLabel* m_title;
    QToolButton* m_close;
    QWidget* m_area;
    bool m_showBooks = true;
    // The panes that exist (the last one takes the trees with it).
    static int s_paneCount;
};
