#include "app/publish/publish_windows.h"

#include "app/canvas/tesk_view.h"
#include "app/file_dialogs.h"
#include "app/tesk_app.h"
#include "app/tesk_doc.h"
#include "app/tesk_frame.h"
#include "model/circuit/circuit.h"
#include "model/designfile/question_range.h"
#include "model/text/question_form.h"
#include "platform/messagebox.h"
#include "platform/shared_functions.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QString Text(int id) { return FromWindows1252(LoadResString(id)); }
CString ToModel(const QString& s) { return ToWindows1252(s); }

QDialogButtonBox* OkCancel(QDialog* d)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return buttons;
}

} // namespace

// ---------------------------------------------------------------- Picture Options

CPictureOptionsWindow::CPictureOptionsWindow(CPicture* picture, CPictureOptionsDlg& options, QWidget* parent)
    : QDialog(parent), m_picture(picture), m_options(options)
{
    setObjectName(QStringLiteral("PictureOptions"));
    setWindowTitle(Text(62000));
    auto* layout = new QVBoxLayout(this);
    auto* clicking = new QGroupBox(Text(62001), this);
    auto* c = new QVBoxLayout(clicking);
    m_openFile = new QCheckBox(Text(62002), clicking);
    m_closeThis = new QCheckBox(Text(62003), clicking);
    m_link = new QLineEdit(FromWindows1252(options.linkFile), clicking);
    m_browse = new QPushButton(Text(62006), clicking);
    m_scrollX = new QSpinBox(clicking);
    m_scrollY = new QSpinBox(clicking);
    for (QSpinBox* s : {m_scrollX, m_scrollY}) s->setRange(0, kMaxPictureScroll);
    m_scrollX->setValue(options.scrollX);
    m_scrollY->setValue(options.scrollY);
    m_reload = new QCheckBox(Text(62007), clicking);
    m_closeSame = new QCheckBox(Text(62008), clicking);
    m_books = new QCheckBox(Text(62013), clicking);
    m_pause = new QCheckBox(Text(62014), clicking);
    c->addWidget(m_openFile);
    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(new QLabel(Text(62005), clicking));
    linkRow->addWidget(m_link, 1);
    linkRow->addWidget(m_browse);
    c->addLayout(linkRow);
    c->addWidget(m_closeThis);
    auto* scrollRow = new QHBoxLayout;
    scrollRow->addWidget(new QLabel(Text(62009), clicking));
    scrollRow->addWidget(new QLabel(Text(62010), clicking));
    scrollRow->addWidget(m_scrollX);
    scrollRow->addWidget(new QLabel(Text(62011), clicking));
    scrollRow->addWidget(m_scrollY);
    c->addLayout(scrollRow);
    for (QCheckBox* b : {m_reload, m_closeSame, m_books, m_pause}) c->addWidget(b);
    layout->addWidget(clicking);

    auto* bubbleGroup = new QGroupBox(Text(62004), this);
    auto* b = new QVBoxLayout(bubbleGroup);
    m_bubble = new QLineEdit(FromWindows1252(options.bubbleText), bubbleGroup);
    b->addWidget(m_bubble);
    layout->addWidget(bubbleGroup);

    auto* pictureGroup = new QGroupBox(Text(62012), this);
    auto* p = new QHBoxLayout(pictureGroup);
    m_picturePath = new QLineEdit(FromWindows1252(options.picturePath), pictureGroup);
    m_picturePath->setReadOnly(true);
    m_browsePicture = new QPushButton(Text(62006), pictureGroup);
    p->addWidget(m_picturePath, 1);
    p->addWidget(m_browsePicture);
    layout->addWidget(pictureGroup);
    layout->addWidget(OkCancel(this));

    const CPictureOptionsDlg::Checks checks = options.GetChecks();
    m_reload->setChecked(checks.reload);
    m_openFile->setChecked(checks.openFile);
    m_closeSame->setChecked(checks.closeSame);
    m_closeThis->setChecked(checks.closeThis);
    m_pause->setChecked(checks.pause);
    m_books->setChecked(checks.viewBooks);
    for (QCheckBox* box : {m_reload, m_openFile, m_closeSame, m_pause})
        connect(box, &QCheckBox::clicked, this, &CPictureOptionsWindow::ApplyRules);
    connect(m_browse, &QPushButton::clicked, this, &CPictureOptionsWindow::BrowseLink);
    connect(m_browsePicture, &QPushButton::clicked, this, &CPictureOptionsWindow::BrowsePicture);
    ApplyRules();
}

QWidget* CPictureOptionsWindow::Control(int id) const
{
    switch (id) {
    case 195: return m_reload;
    case 196: return m_openFile;
    case 198: return m_closeSame;
    case 199: return m_browse;
    case 200: return m_closeThis;
    case 201: return m_bubble;
    case 202: return m_pause;
    case 203: return m_link;
    case 205: return m_scrollX;
    case 206: return m_scrollY;
    case 207: return m_picturePath;
    case 101: return m_browsePicture;
    case 210: return m_books;
    default: return nullptr;
    }
}

void CPictureOptionsWindow::ApplyRules()
{
    CPictureOptionsDlg::Checks c;
    c.reload = m_reload->isChecked();
    c.openFile = m_openFile->isChecked();
    c.closeSame = m_closeSame->isChecked();
    c.closeThis = m_closeThis->isChecked();
    c.pause = m_pause->isChecked();
    c.viewBooks = m_books->isChecked();
    const CPictureOptionsDlg::Enables e = CPictureOptionsDlg::ApplyEnableRules(c, m_options.answerPicture != 0);
    m_reload->setChecked(c.reload);
    m_closeSame->setChecked(c.closeSame);
    m_closeThis->setChecked(c.closeThis);
    m_reload->setEnabled(e.reload);
    m_openFile->setEnabled(e.openFile);
    m_closeSame->setEnabled(e.closeSame);
    m_closeThis->setEnabled(e.closeThis);
    m_books->setEnabled(e.viewBooks);
    m_bubble->setEnabled(e.bubble);
    for (QWidget* w : std::initializer_list<QWidget*>{m_link, m_browse, m_scrollX, m_scrollY})
        w->setEnabled(e.linkFile);
}

void CPictureOptionsWindow::BrowseLink()
{
    CString base = m_options.basePath;
    CString file = ToModel(m_link->text());
    if (ShowFileOpenDialog(kOpenDesigns, &base, &file, true)) m_link->setText(FromWindows1252(file));
}

void CPictureOptionsWindow::BrowsePicture()
{
    if (!m_picture) return;
    const CString shown = ToModel(m_picturePath->text());
    m_picture->SetFileName(IsBuiltInPictureName(shown) ? shown : m_options.basePath);
    m_picturePath->setText(FromWindows1252(m_picture->document.GetPathName()));
}

void CPictureOptionsWindow::accept()
{
    CPictureOptionsDlg::Checks c;
    c.reload = m_reload->isChecked();
    c.openFile = m_openFile->isChecked();
    c.closeSame = m_closeSame->isChecked();
    c.closeThis = m_closeThis->isChecked();
    c.pause = m_pause->isChecked();
    c.viewBooks = m_books->isChecked();
    m_options.SetChecks(c);
    m_options.bubbleText = ToModel(m_bubble->text());
    m_options.linkFile = ToModel(m_link->text());
    NormalizePathSeparators(m_options.linkFile);
    m_options.scrollX = m_scrollX->value();
    m_options.scrollY = m_scrollY->value();
    QDialog::accept();
}

// ---------------------------------------------------------------- picture question

CPictureQuestionWindow::CPictureQuestionWindow(CPictureQuestionChoice& choice, QWidget* parent)
    : QDialog(parent), m_choice(choice)
{
    setObjectName(QStringLiteral("PictureQuestion"));
    setWindowTitle(Text(62020));
    auto* layout = new QVBoxLayout(this);
    m_selects = new QCheckBox(Text(62021), this);
    m_number = new QSpinBox(this);
    m_answer = new QLineEdit(FromWindows1252(choice.answer), this);
    m_correct = new QCheckBox(Text(62024), this);
    auto* form = new QFormLayout;
    form->addRow(Text(62022), m_number);
    form->addRow(Text(62023), m_answer);
    layout->addWidget(m_selects);
    layout->addLayout(form);
    layout->addWidget(m_correct);
    layout->addWidget(OkCancel(this));
    m_selects->setChecked(choice.selectsAnswer);
    m_correct->setChecked(choice.correct);
    ApplyRules();
    m_number->setValue(choice.questionNumber);
    connect(m_selects, &QCheckBox::clicked, this, &CPictureQuestionWindow::ApplyRules);
}

void CPictureQuestionWindow::ApplyRules()
{
    const bool on = m_selects->isChecked();
    // A picture that selects an answer needs a question number.
    m_number->setRange(on ? 1 : -1, 9999);
    for (QWidget* w : std::initializer_list<QWidget*>{m_number, m_answer, m_correct}) w->setEnabled(on);
}

void CPictureQuestionWindow::accept()
{
    m_choice.selectsAnswer = m_selects->isChecked();
    m_choice.questionNumber = std::max(0, m_number->value());
    m_choice.answer = ToModel(m_answer->text());
    m_choice.correct = m_correct->isChecked();
    QDialog::accept();
}

// ---------------------------------------------------------------- Answer File

CQuestionRangeWindow::CQuestionRangeWindow(CQuestionRange& range, const CString& designPath, QWidget* parent)
    : QDialog(parent), m_designPath(designPath)
{
    setObjectName(QStringLiteral("AnswerFile"));
    setWindowTitle(Text(62030));
    auto* layout = new QVBoxLayout(this);
    m_linked = new QCheckBox(Text(62031), this);
    m_path = new QLineEdit(FromWindows1252(range.name), this);
    m_browse = new QPushButton(Text(62006), this);
    m_highest = new QLabel(QString::number(range.count), this);
    layout->addWidget(m_linked);
    layout->addWidget(new QLabel(Text(62032), this));
    auto* row = new QHBoxLayout;
    row->addWidget(m_path, 1);
    row->addWidget(m_browse);
    layout->addLayout(row);
    auto* highest = new QHBoxLayout;
    highest->addWidget(new QLabel(Text(62033), this));
    highest->addWidget(m_highest);
    highest->addStretch(1);
    layout->addLayout(highest);
    layout->addWidget(OkCancel(this));
    // Only a range that no other range links to may link to an answer file.
    const bool mayLink = range.linked || range.links.empty();
    m_linked->setEnabled(mayLink);
    m_linked->setChecked(range.linked && mayLink);
    connect(m_linked, &QCheckBox::clicked, this, &CQuestionRangeWindow::ApplyRules);
    connect(m_browse, &QPushButton::clicked, this, [this] {
        CString base = m_designPath;
        CString file = ToWindows1252(m_path->text());
        if (ShowFileOpenDialog(kOpenDesigns, &base, &file, true)) m_path->setText(FromWindows1252(file));
    });
    ApplyRules();
}

void CQuestionRangeWindow::accept()
{
    CString message;
    if (!CheckAnswerFileEntry(m_linked->isEnabled() && m_linked->isChecked(), ToWindows1252(m_path->text()), &message)) {
        WbMessageBox(message, MB_ICONEXCLAMATION);
        m_path->setFocus();
        return;
    }
    QDialog::accept();
}

void CQuestionRangeWindow::ApplyRules()
{
    m_path->setEnabled(m_linked->isChecked());
    m_browse->setEnabled(m_linked->isChecked());
}

// ---------------------------------------------------------------- Question Results

CQuestionResultsWindow::CQuestionResultsWindow(const CQuestionCounts& counts, int filesOpen, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("QuestionResults"));
    setWindowTitle(Text(62040));
    auto* form = new QFormLayout(this);
    const int values[] = {static_cast<int>(counts.total), static_cast<int>(counts.present),
                          static_cast<int>(counts.answered), static_cast<int>(counts.correct), filesOpen};
    for (int i = 0; i < 5; ++i) {
        auto* value = new QLabel(QString::number(values[i]), this);
        m_values << value;
        form->addRow(Text(62041 + i), value);
    }
    auto* ok = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(ok, &QDialogButtonBox::accepted, this, &QDialog::accept);
    form->addRow(ok);
}

QList<int> CQuestionResultsWindow::Numbers() const
{
    QList<int> out;
    for (QLabel* l : m_values) out << l->text().toInt();
    return out;
}

// ---------------------------------------------------------------- the user interface of publishing

CQtPublishUi::CQtPublishUi(QWidget* parent) : QObject(parent), m_parent(parent)
{
    m_previous = CPublishUi::Install(this);
}

CQtPublishUi::~CQtPublishUi()
{
    if (CPublishUi::Current() == this) CPublishUi::Install(m_previous);
}

bool CQtPublishUi::ChoosePictureFile(const CString& start, CString* chosen)
{
    CString base = start;
    CString file;
    if (!ShowFileOpenDialog(kOpenBitmaps, &base, &file, false)) return false;
    *chosen = file;
    return true;
}

bool CQtPublishUi::ChooseBuiltInPicture(CString* pictureSet, CString* displayName)
{
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("StandardPicture"));
    dialog.setWindowTitle(Text(62050));
    auto* layout = new QHBoxLayout(&dialog);
    auto* sets = new QListWidget(&dialog);
    auto* names = new QListWidget(&dialog);
    sets->addItems({Text(36543), Text(36542)});
    for (const CString& n : BuiltInDisplayNames()) names->addItem(FromWindows1252(n));
    auto select = [](QListWidget* list, const CString& text) {
        const auto found = list->findItems(FromWindows1252(text), Qt::MatchExactly);
        list->setCurrentItem(found.isEmpty() ? list->item(0) : found.first());
    };
    select(sets, *pictureSet);
    select(names, *displayName);
    layout->addWidget(sets);
    layout->addWidget(names, 1);
    layout->addWidget(OkCancel(&dialog));
    if (dialog.exec() != QDialog::Accepted || !sets->currentItem() || !names->currentItem()) return false;
    *pictureSet = ToWindows1252(sets->currentItem()->text());
    *displayName = ToWindows1252(names->currentItem()->text());
    return true;
}

bool CQtPublishUi::RunPictureOptions(CPicture* picture, CPictureOptionsDlg& options)
{
    CPictureOptionsWindow window(picture, options, m_parent);
    return window.exec() == QDialog::Accepted;
}

bool CQtPublishUi::RunPictureQuestion(CPicture*, CPictureQuestionChoice& choice)
{
    CPictureQuestionWindow window(choice, m_parent);
    return window.exec() == QDialog::Accepted;
}

bool CQtPublishUi::RunQuestionRange(CQuestionRange& range, CString* name, bool* linked)
{
    CQuestionRangeWindow window(range, DesignPathOf(range.design), m_parent);
    if (window.exec() != QDialog::Accepted) return false;
    *linked = window.Linked()->isEnabled() && window.Linked()->isChecked();
    *name = ToWindows1252(window.Path()->text());
    return true;
}

void CQtPublishUi::ShowQuestionResults(CQuestionRange& range)
{
    CQuestionRange* master = range.GetMasterRange();
    if (!master) return;
    CQuestionCounts counts;
    master->CountAnswers(counts);
    CQuestionResultsWindow window(counts, static_cast<int>(master->links.size()) + 1, m_parent);
    window.exec();
}

namespace {
CTeskFrame* FrameOfDesign(CPartTree* design)
{
    CTeskApp* app = CTeskApp::Get();
    if (!app) return nullptr;
    for (const auto& doc : app->Documents())
        if (doc->GetDesign() == design) {
            const auto frames = app->FramesOf(doc.get());
            return frames.empty() ? nullptr : frames.front();
        }
    return nullptr;
}
} // namespace

void CQtPublishUi::ViewBooks(CPartTree* design)
{
    if (CTeskFrame* f = FrameOfDesign(design)) f->ShowBooks();
}

void CQtPublishUi::CloseSameAnswer(CQuestionRange* master, CPartTree* keep)
{
    CTeskApp* app = CTeskApp::Get();
    if (!app || !master) return;
    std::vector<CTeskDoc*> closing;
    for (const auto& doc : app->Documents()) {
        CCircuit* d = doc->GetDesign();
        if (!d || d == keep) continue;
        CQuestionRange& r = d->m_fileExtras.range;
        if (&r != master && r.GetMasterRange() == master) closing.push_back(doc.get());
    }
    for (CTeskDoc* doc : closing) app->CloseDocument(doc);
}
