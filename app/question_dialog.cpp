#include "app/question_dialog.h"

#include "model/text/textlabel.h"
#include "platform/messagebox.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include "app/view_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kTemplateId = 378;
constexpr int kListWidth = 420;

QString Name(int id) { return QStringLiteral("ctl%1").arg(id); }
QString Text(unsigned id) { return FromWindows1252(LoadResString(id)); }

// Radio button ids in mode order (0 plain ... 5 remarks).
constexpr int kModeIds[6] = {238, 239, 202, 241, 240, 242};
const char* const kModeTexts[6] = {"Normal text",          "Show score",          "User enters answer.",
                                   "Show answer entered by the user", "Show correct answer", "Remark about entered answer"};

QString ListName(const CString& key) { return FromWindows1252(key); }

} // namespace

CQuestionDialog::CQuestionDialog(CQuestionForm& form, const RtfCharFormat& base, QWidget* parent)
    : QDialog(parent), m_form(form), m_base(base)
{
    setObjectName(QStringLiteral("dlg%1").arg(kTemplateId));
    setWindowTitle(QStringLiteral("Text Box Options"));
    auto* box = new QVBoxLayout(this);

    auto* modes = new QGroupBox;
    auto* modeLayout = new QVBoxLayout(modes);
    auto* group = new QButtonGroup(this);
    for (int m = 0; m < 6; ++m) {
        m_mode[m] = new QRadioButton(QString::fromLatin1(kModeTexts[m]));
        m_mode[m]->setObjectName(Name(kModeIds[m]));
        group->addButton(m_mode[m], m);
        modeLayout->addWidget(m_mode[m]);
    }
    box->addWidget(modes);

    auto* fields = new QFormLayout;
    m_number = new QLineEdit;
    m_number->setObjectName(Name(223));
    fields->addRow(QStringLiteral("Question Number:"), m_number);
    m_correct = new QLineEdit;
    m_correct->setObjectName(Name(221));
    fields->addRow(QStringLiteral(" What is the correct answer?"), m_correct);
    m_border = new QCheckBox(QStringLiteral("Border"));
    m_border->setObjectName(QStringLiteral("ctlBorder"));
    fields->addRow(QString(), m_border);
    box->addLayout(fields);

    auto* remarks = new QGroupBox(QStringLiteral("Remarks"));
    auto* remarksLayout = new QVBoxLayout(remarks);
    m_list = new QTreeWidget;
    m_list->setObjectName(Name(215));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({Text(36591), Text(36592)});
    m_list->setColumnWidth(0, 160);
    m_list->setMinimumWidth(kListWidth);
    remarksLayout->addWidget(m_list);
    auto* rowButtons = new QHBoxLayout;
    m_new = new QPushButton(QStringLiteral("New"));
    m_new->setObjectName(Name(216));
    m_remove = new QPushButton(QStringLiteral("Remove"));
    m_remove->setObjectName(Name(217));
    rowButtons->addWidget(m_new);
    rowButtons->addWidget(m_remove);
    rowButtons->addStretch();
    remarksLayout->addLayout(rowButtons);
    auto* answer = new QFormLayout;
    m_entry = new QComboBox;
    m_entry->setObjectName(Name(243));
    for (int e = 0; e < QF_ENTRY_OTHER; ++e) m_entry->addItem(ListName(QuestionEntryKey(e)));
    m_entry->addItem(QStringLiteral("Other"));
    answer->addRow(QStringLiteral("Possible Answer"), m_entry);
    m_other = new QLineEdit;
    m_other->setObjectName(Name(219));
    answer->addRow(QStringLiteral("Other Possible Answer"), m_other);
    remarksLayout->addLayout(answer);
    m_remark = new QTextEdit;
    m_remark->setObjectName(Name(201));
    m_remark->setAcceptRichText(true);
    remarksLayout->addWidget(m_remark);
    auto* fontButtons = new QHBoxLayout;
    m_font = new QPushButton(QStringLiteral("Font"));
    m_font->setObjectName(Name(36105));
    m_clear = new QPushButton(QStringLiteral("Clear and use default Font"));
    m_clear->setObjectName(Name(36109));
    fontButtons->addWidget(m_font);
    fontButtons->addWidget(m_clear);
    fontButtons->addStretch();
    remarksLayout->addLayout(fontButtons);
    box->addWidget(remarks);

    AddDialogButtons(this, box);

    m_number->setText(QString::number(m_form.number));
    m_correct->setText(FromWindows1252(m_form.correctAnswer));
    m_border->setChecked(m_form.border);
    ShowForm();

    connect(group, &QButtonGroup::idClicked, this, &CQuestionDialog::ModeChosen);
    connect(m_entry, &QComboBox::activated, this, &CQuestionDialog::EntryChosen);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CQuestionDialog::RowChosen);
    connect(m_new, &QPushButton::clicked, this, &CQuestionDialog::NewPressed);
    connect(m_remove, &QPushButton::clicked, this, &CQuestionDialog::RemovePressed);
    connect(m_other, &QLineEdit::textEdited, this, &CQuestionDialog::OtherTyped);
    connect(m_remark, &QTextEdit::textChanged, this, &CQuestionDialog::RemarkEdited);
    connect(m_font, &QPushButton::clicked, this, &CQuestionDialog::FontPressed);
    connect(m_clear, &QPushButton::clicked, this, &CQuestionDialog::ClearPressed);
}

void CQuestionDialog::ShowForm()
{
    m_showing = true;
    m_mode[std::clamp(m_form.mode, 0, 5)]->setChecked(true);
    m_number->setEnabled(m_form.NumberEnabled());
    m_correct->setEnabled(m_form.CorrectAnswerEnabled());
    const bool remarks = m_form.RemarksEnabled();
    for (QWidget* w : std::initializer_list<QWidget*>{m_list, m_new, m_remove, m_entry, m_remark, m_font, m_clear})
        w->setEnabled(remarks);
    m_list->clear();
    for (const CQuestionResponse& r : m_form.rows)
        new QTreeWidgetItem(m_list, {ListName(r.key), FromWindows1252(r.remark.text).trimmed()});
    if (m_form.selected >= 0 && m_form.selected < m_list->topLevelItemCount())
        m_list->setCurrentItem(m_list->topLevelItem(m_form.selected));
    const bool rowSelected = m_form.selected >= 0 && m_form.selected < static_cast<int>(m_form.rows.size());
    const int entry = rowSelected ? CQuestionForm::EntryOfKey(m_form.rows[m_form.selected].key) : 0;
    m_entry->setCurrentIndex(entry);
    m_other->setEnabled(remarks && rowSelected && entry == QF_ENTRY_OTHER);
    m_other->setText(rowSelected && entry == QF_ENTRY_OTHER ? ListName(m_form.rows[m_form.selected].key) : QString());
    ShowRemark();
    m_showing = false;
}

void CQuestionDialog::ShowRemark()
{
    const bool was = m_showing;
    m_showing = true;
    const bool rowSelected = m_form.selected >= 0 && m_form.selected < static_cast<int>(m_form.rows.size());
    if (rowSelected) m_form.rows[m_form.selected].remark.WriteToControl(m_remark->document(), false, m_base);
    else m_remark->clear();
    const bool editable = m_form.RemarksEnabled() && rowSelected;
    m_remark->setReadOnly(!editable);
    QPalette p = m_remark->palette();
    p.setColor(QPalette::Base, editable ? QColor(Qt::white) : palette().color(QPalette::Button));
    m_remark->setPalette(p);
    m_showing = was;
}

void CQuestionDialog::ModeChosen(int mode)
{
    if (m_showing || mode == m_form.mode) return;
    m_form.SetMode(mode);
    ShowForm();
}

void CQuestionDialog::EntryChosen(int entry)
{
    if (m_showing) return;
    m_form.ChooseEntry(entry);
    ShowForm();
}

void CQuestionDialog::RowChosen()
{
    if (m_showing) return;
    QTreeWidgetItem* item = m_list->currentItem();
    m_form.selected = item ? m_list->indexOfTopLevelItem(item) : -1;
    ShowForm();
}

void CQuestionDialog::NewPressed()
{
    CString message;
    if (!m_form.NewResponse(&message)) WbMessageBox(message, MB_ICONEXCLAMATION);
    ShowForm();
}

void CQuestionDialog::RemovePressed()
{
    m_form.RemoveSelected();
    ShowForm();
}

void CQuestionDialog::OtherTyped(const QString& text)
{
    if (m_showing) return;
    if (m_form.RenameSelected(ToWindows1252(text)))
        if (QTreeWidgetItem* item = m_list->topLevelItem(m_form.selected)) item->setText(0, text);
}

void CQuestionDialog::RemarkEdited()
{
    if (m_showing || m_remark->isReadOnly()) return;
    CRTFData remark;
    remark.ReadFromControl(*m_remark->document(), m_base);
    m_form.SetRemark(remark);
    if (QTreeWidgetItem* item = m_list->topLevelItem(m_form.selected))
        item->setText(1, FromWindows1252(remark.text).trimmed());
}

void CQuestionDialog::FontPressed()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_remark->currentFont(), this);
    if (!ok) return;
    if (!m_remark->textCursor().hasSelection()) m_remark->selectAll();
    m_remark->setCurrentFont(font);
}

void CQuestionDialog::ClearPressed()
{
    m_form.ClearRemark();
    ShowRemark();
    if (QTreeWidgetItem* item = m_list->topLevelItem(m_form.selected)) item->setText(1, QString());
}

void CQuestionDialog::accept()
{
    m_form.border = m_border->isChecked();
    m_form.correctAnswer = ToWindows1252(m_correct->text().trimmed());
    bool ok = true;
    const int n = m_number->text().trimmed().toInt(&ok);
    // An unreadable number is out of range whatever the bounds.
    m_form.number = ok ? n : kMaxQuestionNumber + 1;
    const CQuestionForm::Check check = m_form.Validate();
    if (check.verdict == CQuestionForm::Verdict::Refuse) {
        WbMessageBox(check.message, MB_ICONEXCLAMATION);
        if (m_form.NumberEnabled() && (m_form.number < m_form.LowestNumber() || m_form.number > kMaxQuestionNumber)) {
            m_number->setFocus();
            m_number->selectAll();
        }
        return;
    }
    if (check.verdict == CQuestionForm::Verdict::AcceptWithWarning) WbMessageBox(check.message, MB_ICONINFORMATION);
    QDialog::accept();
}

bool RunQuestionDialog(CTextLabel* label, QWidget* parent)
{
    if (!label) return false;
    CQuestionForm form = CQuestionForm::FromLabel(*label);
    CQuestionDialog dialog(form, label->BaseFormat(), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    form.ApplyTo(*label);
    return true;
}
