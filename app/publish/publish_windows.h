// The windows of publishing: Picture Options, the picture question, the
// standard-picture choice, the Answer File and the Question Results
// dialogs, and CQtPublishUi, which runs them for the parts and the ranges.
#pragma once

#include "app/publish/picture.h"
#include "app/publish/publish_ui.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
struct CQuestionCounts;

// Dialog 375 "Picture Options" on a copy of the options.
class CPictureOptionsWindow : public QDialog {
    Q_OBJECT
public:
    CPictureOptionsWindow(CPicture* picture, CPictureOptionsDlg& options, QWidget* parent = nullptr);
    // The controls by their numbers (195 reload, 196 open file, 198 close
    // same answer, 200 close this, 201 bubble, 202 pause, 203 link, 199
    // browse, 205/206 scroll, 207 picture path, 101 browse picture, 210 books).
    QWidget* Control(int id) const;
    void accept() override;

private:
    void ApplyRules();
    void BrowseLink();
    void BrowsePicture();

    CPicture* m_picture;
    CPictureOptionsDlg& m_options;
    QCheckBox *m_reload, *m_openFile, *m_closeSame, *m_closeThis, *m_pause, *m_books;
    QLineEdit *m_bubble, *m_link, *m_picturePath;
    QPushButton *m_browse, *m_browsePicture;
    QSpinBox *m_scrollX, *m_scrollY;
};

// Dialog 384 "Picture Questions and Answers".
class CPictureQuestionWindow : public QDialog {
    Q_OBJECT
public:
    CPictureQuestionWindow(CPictureQuestionChoice& choice, QWidget* parent = nullptr);
    QCheckBox* SelectsAnswer() const { return m_selects; }
    QSpinBox* Number() const { return m_number; }
    QLineEdit* Answer() const { return m_answer; }
    QCheckBox* Correct() const { return m_correct; }
    void accept() override;

private:
    void ApplyRules();

    CPictureQuestionChoice& m_choice;
    QCheckBox* m_selects;
    QSpinBox* m_number;
    QLineEdit* m_answer;
    QCheckBox* m_correct;
};

// Dialog 376 "Answer File".
class CQuestionRangeWindow : public QDialog {
    Q_OBJECT
public:
    CQuestionRangeWindow(CQuestionRange& range, const CString& designPath, QWidget* parent = nullptr);
    QCheckBox* Linked() const { return m_linked; }
    QLineEdit* Path() const { return m_path; }
    QLabel* Highest() const { return m_highest; }
    // A linked range needs the answer file's path.
    void accept() override;

private:
    void ApplyRules();

    CString m_designPath;
    QCheckBox* m_linked;
    QLineEdit* m_path;
    QPushButton* m_browse;
    QLabel* m_highest;
};

// Dialog 377 "Question Results": the counts and the open question files.
class CQuestionResultsWindow : public QDialog {
    Q_OBJECT
public:
    CQuestionResultsWindow(const CQuestionCounts& counts, int filesOpen, QWidget* parent = nullptr);
    // The five numbers in their order (total, in memory, answered,
    // correct, files open).
    QList<int> Numbers() const;

private:
    QList<QLabel*> m_values;
};

class CQtPublishUi : public QObject, public CPublishUi {
    Q_OBJECT
public:
    explicit CQtPublishUi(QWidget* parent);
    ~CQtPublishUi() override;

    bool ChoosePictureFile(const CString& start, CString* chosen) override;
    bool ChooseBuiltInPicture(CString* pictureSet, CString* displayName) override;
    bool RunPictureOptions(CPicture* picture, CPictureOptionsDlg& options) override;
    bool RunPictureQuestion(CPicture* picture, CPictureQuestionChoice& choice) override;
    bool RunQuestionRange(CQuestionRange& range, CString* name, bool* linked) override;
    void ShowQuestionResults(CQuestionRange& range) override;
    void ViewBooks(CPartTree* design) override;
    void CloseSameAnswer(CQuestionRange* master, CPartTree* keep) override;

private:
    QWidget* m_parent;
    CPublishUi* m_previous;
};
