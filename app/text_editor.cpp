#include "app/text_editor.h"

#include "app/question_dialog.h"
#include "model/text/rtf_codepage.h"
#include "model/text/rtf_document.h"
#include "model/text/symbols.h"
#include "platform/text1252.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <cmath>

namespace {

QColor ColorOf(uint32_t c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

// Whether every character of the selection (or the insertion point) has
// the style.
bool SelectionHas(QTextEdit* edit, int commandId)
{
    auto has = [commandId](const QTextCharFormat& f) {
        switch (commandId) {
        case IDC_LABEL_BOLD: return f.fontWeight() > QFont::Medium;
        case IDC_LABEL_ITALIC: return f.fontItalic();
        default: return f.fontUnderline();
        }
    };
    const QTextCursor c = edit->textCursor();
    if (!c.hasSelection()) return has(c.charFormat());
    const int from = c.selectionStart(), to = c.selectionEnd();
    for (QTextBlock b = edit->document()->findBlock(from); b.isValid() && b.position() <= to; b = b.next())
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= from || f.position() >= to) continue;
            if (!has(f.charFormat())) return false;
        }
    return true;
}

bool IsNumberKey(const QString& text)
{
    for (QChar ch : text)
        if (!ch.isDigit() && ch != u'.' && ch != u'-' && ch != u'+' && ch != u'e' && ch != u'E') return false;
    return true;
}

}  // namespace

CTextEditWindow::CTextEditWindow(QWidget* parent) : QObject(parent)
{
    m_edit = new QTextEdit(parent);
    m_edit->setFrameStyle(0);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->document()->setDocumentMargin(0);
    m_edit->setGeometry(1, 1, 2, 2);
    m_edit->hide();
    m_edit->installEventFilter(this);
    m_edit->viewport()->installEventFilter(this);
    connect(m_edit, &QTextEdit::textChanged, this, [this] { OnTextChanged(); });
    connect(m_edit, &QTextEdit::cursorPositionChanged, this, [this] {
        if (m_open && m_onSelection) m_onSelection();
    });
    connect(m_edit, &QTextEdit::selectionChanged, this, [this] {
        if (m_open && m_onSelection) m_onSelection();
    });
    CTextEditorHost::Install(this);
    CLabelCommandHost::Install(this);
}

CTextEditWindow::~CTextEditWindow()
{
    if (CTextEditorHost::Current() == this) CTextEditorHost::Install(nullptr);
    if (CLabelCommandHost::Current() == this) CLabelCommandHost::Install(nullptr);
}

QTextDocument* CTextEditWindow::Open(CText*, const CRect& rect, uint32_t background, bool multiLine, bool numbers,
                                     int limit)
{
    if (!m_edit) return nullptr;
    m_numbers = numbers;
    m_limit = limit;
    m_edit->setLineWrapMode(multiLine ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    m_edit->setAcceptRichText(false);
    QPalette pal = m_edit->palette();
    pal.setColor(QPalette::Base, ColorOf(background));
    m_edit->setPalette(pal);
    Move(rect);
    m_userEdits = false;
    SetTextRed(false);
    m_open = true;
    m_edit->show();
    m_edit->setFocus();
    NotifyEditing();
    return m_edit->document();
}

void CTextEditWindow::Close()
{
    m_open = false;
    m_userEdits = false;
    NotifyEditing();
    if (!m_edit) return;
    m_edit->hide();
    m_edit->setGeometry(1, 1, 2, 2);
}

void CTextEditWindow::Move(const CRect& rect)
{
    if (!m_edit) return;
    m_edit->setGeometry(m_map ? m_map(rect) : QRect(rect.left, rect.top, rect.Width(), rect.Height()));
}

void CTextEditWindow::NotifyEditing()
{
    // The model marks the part as edited only after the editor opened.
    if (m_onEditing) QMetaObject::invokeMethod(this, [this] { if (m_onEditing) m_onEditing(); }, Qt::QueuedConnection);
}

void CTextEditWindow::OnTextChanged()
{
    EnforceLimit();
    // The part takes the text the user typed; a value that it shows again
    // in the editor does not come back to it.
    if (!m_open || !m_userEdits || m_inEdit || !m_onEdit || !m_edit) return;
    m_inEdit = true;
    SetTextRed(m_onEdit(m_edit->toPlainText()));
    m_inEdit = false;
}

void CTextEditWindow::SetTextRed(bool red)
{
    if (!m_edit) return;
    QPalette pal = m_edit->palette();
    const QColor colour = red ? QColor(255, 0, 0) : QColor(0, 0, 0);
    if (pal.color(QPalette::Text) == colour) return;
    pal.setColor(QPalette::Text, colour);
    m_edit->setPalette(pal);
}

void CTextEditWindow::EnforceLimit()
{
    if (!m_edit || m_limit <= 0) return;
    QTextDocument* doc = m_edit->document();
    if (doc->characterCount() - 1 <= m_limit) return;
    QTextCursor c(doc);
    c.setPosition(m_limit);
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    c.removeSelectedText();
}

bool CTextEditWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit || (m_edit && watched == m_edit->viewport())) {
        // Typing, composing or dropping: the user edits from here on.
        const QEvent::Type t = event->type();
        if (t == QEvent::KeyPress || t == QEvent::InputMethod || t == QEvent::Drop) m_userEdits = true;
    }
    if (watched == m_edit) {
        if (event->type() == QEvent::ShortcutOverride) {
            // Backspace and Delete belong to the editor, not to the view's
            // accelerators (Delete would delete the part).
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete) {
                event->accept();
                return true;
            }
        }
        if (event->type() == QEvent::KeyPress && m_numbers) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (!key->text().isEmpty() && key->text().at(0).isPrint() && !IsNumberKey(key->text())) return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool CTextEditWindow::ChooseColour(uint32_t* colour)
{
    const QColor c = QColorDialog::getColor(ColorOf(*colour), m_edit ? m_edit->parentWidget() : nullptr);
    if (!c.isValid()) return false;
    *colour = uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
    if (m_edit && m_open) {
        QPalette pal = m_edit->palette();
        pal.setColor(QPalette::Base, c);
        m_edit->setPalette(pal);
    }
    return true;
}

bool CTextEditWindow::ToggleStyle(int commandId)
{
    if (!m_edit) return false;
    // A selection wholly in the style loses it; a mixed or plain one gets it.
    const bool on = !SelectionHas(m_edit, commandId);
    QTextCharFormat f;
    switch (commandId) {
    case IDC_LABEL_BOLD: f.setFontWeight(on ? QFont::Bold : QFont::Normal); break;
    case IDC_LABEL_ITALIC: f.setFontItalic(on); break;
    case IDC_LABEL_UNDERLINE: f.setFontUnderline(on); break;
    default: return false;
    }
    m_edit->mergeCurrentCharFormat(f);
    // The selection kept its place, so the buttons follow the new format.
    if (m_onSelection) m_onSelection();
    return true;
}

bool CTextEditWindow::ChooseFont()
{
    if (!m_edit || !m_open) return false;
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_edit->currentFont(), m_edit->parentWidget());
    if (!ok) return false;
    QTextCharFormat f;
    f.setFont(font);
    m_edit->mergeCurrentCharFormat(f);
    return true;
}

bool CTextEditWindow::ChooseTextFont(RtfCharFormat* format)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, ToQtFormat(*format).font(), m_edit ? m_edit->parentWidget() : nullptr);
    if (!ok) return false;
    const CString face = ToWindows1252(font.family());
    if (face != format->face) {
        // A face of its own encoding (Symbol) or the text's.
        format->charset = face == "Symbol" ? kCharsetSymbol : kCharsetAnsi;
        format->face = face;
    }
    if (font.pointSizeF() > 0) format->halfPoints = static_cast<int>(std::lround(font.pointSizeF() * 2));
    format->bold = font.weight() > QFont::Medium;
    format->italic = font.italic();
    format->underline = font.underline();
    format->strike = font.strikeOut();
    return true;
}

bool CTextEditWindow::IsStyleChecked(int commandId)
{
    return m_edit && m_open && SelectionHas(m_edit, commandId);
}

void CTextEditWindow::InsertSymbol(int code)
{
    if (!m_edit || !m_open) return;
    QTextCursor c = m_edit->textCursor();
    const QTextCharFormat current = c.charFormat();
    const RtfCharFormat now = FromQtFormat(current, RtfCharFormat{});
    const SymbolInsert plan = PlanSymbolInsert(code, now.charset, now.face);
    RtfCharFormat use = now;
    QChar ch;
    switch (plan.font) {
    case SymbolInsert::Symbol:
        use.face = "Symbol";
        use.charset = kCharsetSymbol;
        ch = QChar(SymbolToUnicode(static_cast<unsigned char>(plan.code)));
        break;
    case SymbolInsert::Arial:
        use.face = "Arial";
        use.charset = kCharsetAnsi;
        ch = FromWindows1252(std::string(1, static_cast<char>(plan.code))).at(0);
        break;
    case SymbolInsert::Keep:
        ch = DecodeCharset(now.charset, std::string(1, static_cast<char>(plan.code))).at(0);
        break;
    }
    c.beginEditBlock();
    c.insertText(QString(ch), ToQtFormat(use));
    c.endEditBlock();
    // The font changed for the one character only.
    c.setCharFormat(current);
    m_edit->setTextCursor(c);
}

bool CTextEditWindow::EditQuestion(CTextLabel* label)
{
    auto* owner = qobject_cast<QWidget*>(parent());
    return RunQuestionDialog(label, owner ? owner->window() : nullptr);
}
