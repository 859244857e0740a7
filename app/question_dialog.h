// "Text Box Options": the question settings of a free label (response
// mode, question number, correct answer, border and the table of possible
// answers with their remarks) over a CQuestionForm, which holds the rules.
// Controls are named "ctl<id>" after their control ids so that tests find
// them.
#pragma once

#include "model/text/question_form.h"
#include "model/text/rtf_model.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextEdit;
class QTreeWidget;
class CTextLabel;

class CQuestionDialog : public QDialog {
    Q_OBJECT
public:
    CQuestionDialog(CQuestionForm& form, const RtfCharFormat& base, QWidget* parent = nullptr);

    void accept() override;

private:
    void ShowForm();
    void ShowRemark();
    void ModeChosen(int mode);
    void EntryChosen(int entry);
    void RowChosen();
    void NewPressed();
    void RemovePressed();
    void OtherTyped(const QString& text);
    void RemarkEdited();
    void FontPressed();
    void ClearPressed();

    CQuestionForm& m_form;
    RtfCharFormat m_base;
    bool m_showing = false;
    QRadioButton* m_mode[6];
    QLineEdit* m_number;
    QLineEdit* m_correct;
    QCheckBox* m_border;
    QTreeWidget* m_list;
    QPushButton* m_new;
    QPushButton* m_remove;
    QComboBox* m_entry;
    QLineEdit* m_other;
    QTextEdit* m_remark;
    QPushButton* m_font;
    QPushButton* m_clear;
};

// The label's question command: the dialog on the label's settings; on OK
// the label takes them.  False when cancelled.
bool RunQuestionDialog(CTextLabel* label, QWidget* parent);
