#include "app/control_toolbar.h"

#include "app/commands.h"
#include "model/circuit/circuit.h"
#include "model/parts/part.h"
#include "platform/strings.h"
#include "platform/text1252.h"

#include <QAction>
#include <QBitmap>
#include <QIcon>
#include <QPixmap>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>
#include <QWidgetAction>

#include <algorithm>

namespace {

QString Name(int id) { return QStringLiteral("prop%1").arg(id); }

// The item id a control stands for.
constexpr const char* kItemIdProperty = "itemId";

uint32_t SteadyMilliseconds()
{
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return static_cast<uint32_t>(clock.elapsed());
}

// The short text of a button: its tip, shown when it has no picture.
QString ButtonText(int id)
{
    const QString tip = CommandTip(id);
    if (!tip.isEmpty()) return tip;
    const QString prompt = CommandPrompt(id);
    return prompt.isEmpty() ? QString::number(id) : prompt;
}

// A label at least as wide as its text in the toolbar's font: the widths
// the parts ask for were measured with a smaller font, and a clipped word
// ("Runnin") reads as another.
void FitLabel(QLabel* label, int asked)
{
    const int text = label->fontMetrics().horizontalAdvance(label->text()) + 2 * label->margin() + 4;
    label->setFixedWidth(std::max(asked, label->text().isEmpty() ? 0 : text));
}

} // namespace

// ---------------------------------------------------------------- CEditNoAccel

bool CEditNoAccel::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete ||
            (ctrl && (key->key() == Qt::Key_C || key->key() == Qt::Key_V || key->key() == Qt::Key_X))) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

// ---------------------------------------------------------------- CScrollBarSpinner

CScrollBarSpinner::CScrollBarSpinner(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)), m_clock(SteadyMilliseconds)
{
    auto* lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    for (QToolButton* b : {m_down, m_up}) {
        // While held the button repeats its click.
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(100);
        b->setFixedSize(14, 18);
        b->installEventFilter(this);
        lay->addWidget(b);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { Step(false); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(true); });
}

bool CScrollBarSpinner::eventFilter(QObject* watched, QEvent* event)
{
    // The hold is timed from the button's press to its release; the click
    // that the release gives still counts as held.
    if (event->type() == QEvent::MouseButtonPress) {
        m_hold.Press(m_clock());
    } else if (event->type() == QEvent::MouseButtonRelease) {
        QMetaObject::invokeMethod(this, [this] { m_hold.Release(); }, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void CScrollBarSpinner::Step(bool down)
{
    emit stepped(down, m_hold.Acceleration(m_clock()));
}

// ---------------------------------------------------------------- CControlToolBar

CControlToolBar::CControlToolBar(std::function<CCircuit*()> designOf, QWidget* parent)
    : QToolBar(parent), m_model(*this), m_designOf(std::move(designOf)), m_clock(SteadyMilliseconds)
{
    setObjectName(QStringLiteral("ControlToolBar"));
    setWindowTitle(FromWindows1252(LoadResString(38150)));
    setMovable(false);
    // The main toolbar's button metrics.
    setIconSize(QSize(24, 24));
    QFont f(QStringLiteral("Sans Serif"));
    f.setPixelSize(12);
    setFont(f);
    // The bar keeps the height it has with its tallest controls also while
    // it is empty.  A bar that grew as a press selected a part would move
    // the canvas under the pointer, and the release would land on another
    // point: a switch's lever pressed would be dragged, not switched.
    QToolBar sample;
    sample.setIconSize(iconSize());
    sample.setFont(f);
    QPixmap blank(iconSize());
    blank.fill(Qt::transparent);
    sample.addAction(QIcon(blank), QStringLiteral("M"));
    auto* box = new QComboBox(&sample);
    box->addItem(QStringLiteral("M"));
    sample.addWidget(box);
    sample.addWidget(new QLineEdit(QStringLiteral("M"), &sample));
    setMinimumHeight(sample.sizeHint().height());
}

CControlToolBar::~CControlToolBar() = default;

CCircuit* CControlToolBar::GetDesign() { return m_designOf ? m_designOf() : nullptr; }

void CControlToolBar::ReorientPart(CPart* part)
{
    CPropertyBarHost::ReorientPart(part);
    if (m_redraw) m_redraw();
    RefreshValues(false);
}

void CControlToolBar::RedrawPart(CPart*)
{
    if (m_redraw) m_redraw();
}

void CControlToolBar::AddPart(int commandId)
{
    if (m_run) m_run(commandId);
}

void CControlToolBar::SetSpinClock(std::function<uint32_t()> clock)
{
    m_clock = std::move(clock);
    for (auto& [id, w] : m_controls)
        if (auto* s = qobject_cast<CScrollBarSpinner*>(w)) s->SetClock(m_clock);
}

QWidget* CControlToolBar::Control(int id) const
{
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void CControlToolBar::Clear()
{
    // clear() only takes the actions off the bar; they (and the controls of
    // the widget actions) are deleted once the event that may have come
    // from one of them is done, and lose their names at once.
    const QList<QAction*> old = actions();
    clear();
    for (QAction* a : old) {
        if (a->parent() != this) continue;
        a->setObjectName(QString());
        if (auto* w = qobject_cast<QWidgetAction*>(a))
            if (QWidget* control = w->defaultWidget()) control->setObjectName(QString());
        a->deleteLater();
    }
    m_controls.clear();
    m_buttons.clear();
}

void CControlToolBar::ShowPart(CPart* part, std::function<void()> redraw)
{
    m_redraw = std::move(redraw);
    m_model.ShowPart(part);
    Rebuild();
}

void CControlToolBar::ShowOutsidePart(CPart* part, std::function<void()> redraw)
{
    m_redraw = std::move(redraw);
    m_model.ShowOutsidePart(part);
    Rebuild();
}

void CControlToolBar::Refill()
{
    m_model.ShowPart(m_model.Part());
    Rebuild();
}

void CControlToolBar::Rebuild()
{
    m_building = true;
    Clear();
    const CControlItemList& items = m_model.Items();
    for (int i = 0; i < items.GetCount(); ++i) {
        const CControlItem& item = items[i];
        const int id = item.id;
        const QString label = FromWindows1252(item.label);
        QWidget* control = nullptr;
        switch (item.type) {
        case CI_EDIT: {
            auto* e = new CEditNoAccel;
            if (id == 36055 || id == 36061 || id == 36067 || id == 36083) e->setMaxLength(1);
            e->setFixedWidth(item.width + 2);
            connect(e, &QLineEdit::textEdited, this, [this, id](const QString& t) { OnItemChanged(id, t); });
            connect(e, &QLineEdit::editingFinished, this, [this, id, e] { OnItemConfirmed(id, e); });
            control = e;
            break;
        }
        case CI_STATIC:
        case CI_UNITPICTURE: {
            auto* l = new QLabel(label);
            FitLabel(l, item.width + (item.type == CI_STATIC ? 2 : 4));
            control = l;
            break;
        }
        case CI_SPIN: {
            auto* s = new CScrollBarSpinner;
            s->SetClock(m_clock);
            connect(s, &CScrollBarSpinner::stepped, this, [this, id](bool down, int amount) {
                m_model.Command(id, SpinCommandText(amount, down));
                RefreshValues(false);
            });
            control = s;
            break;
        }
        case CI_TOOLBUTTON:
        case CI_TOOLBUTTON_LOCKED: {
            QAction* a = addAction(ButtonText(id));
            a->setObjectName(Name(id));
            // The part's picture for the button; the colour of its top-left
            // pixel is the background and becomes transparent.
            if (QImage cell = m_model.ButtonPicture(id); !cell.isNull()) {
                QPixmap pix = QPixmap::fromImage(cell);
                pix.setMask(pix.createMaskFromColor(QColor(cell.pixel(0, 0)), Qt::MaskInColor));
                a->setIcon(QIcon(pix));
                a->setIconText(ButtonText(id));
            }
            a->setStatusTip(CommandPrompt(id));
            connect(a, &QAction::triggered, this, [this, id] {
                if (CControlBar::IsRoutedCommand(id)) {
                    if (m_run) m_run(id);
                    return;
                }
                m_model.Command(id, CString());
                UpdateEnabledStates();
            });
            m_buttons[id] = a;
            if (QWidget* w = widgetForAction(a)) {
                w->setObjectName(Name(id));
                w->installEventFilter(this);
            }
            continue;
        }
        case CI_SEPARATOR: addSeparator(); continue;
        case CI_PUSHBUTTON:
        case CI_PUSHBUTTON_LOCKED: {
            auto* b = new QPushButton(label);
            b->setFixedWidth(item.width);
            connect(b, &QPushButton::clicked, this, [this, id] {
                m_model.Command(id, CString());
                RefreshValues(false);
            });
            control = b;
            break;
        }
        case CI_DROPLIST: {
            auto* c = new QComboBox;
            c->addItems(label.split(QLatin1Char('\n')));
            c->setMaxVisibleItems(std::clamp(c->count(), 4, 20));
            c->setFixedWidth(item.width + 2);
            connect(c, &QComboBox::activated, this, [this, id, c](int) { OnItemChanged(id, c->currentText()); });
            control = c;
            break;
        }
        default: continue;
        }
        control->setObjectName(Name(id));
        control->setProperty(kItemIdProperty, id);
        if (item.type == CI_EDIT || item.type == CI_DROPLIST) control->installEventFilter(this);
        addWidget(control);
        m_controls[id] = control;
    }
    m_building = false;
    RefreshValues(false);
}

void CControlToolBar::RefreshValues(bool liveOnly)
{
    if (m_refreshing || !m_model.Part()) return;
    m_refreshing = true;
    const std::vector<std::optional<CString>> texts = m_model.ReadTexts(liveOnly);
    const CControlItemList& items = m_model.Items();
    for (int i = 0; i < items.GetCount() && i < static_cast<int>(texts.size()); ++i) {
        if (!texts[i]) continue;
        const QString text = FromWindows1252(*texts[i]);
        QWidget* w = Control(items[i].id);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            // A live box being typed into keeps what is typed.
            if (liveOnly && e->hasFocus()) continue;
            if (e->text() != text) {
                e->setText(text);
                SetTextColour(e, false);
            }
        } else if (auto* l = qobject_cast<QLabel*>(w); l && items[i].type == CI_STATIC) {
            if (l->text() != text) {
                l->setText(text);
                FitLabel(l, items[i].width + 2);
            }
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            // A one-letter upper-case text in a long list with its own font
            // (the label palette: lower case first, upper case from entry
            // 24) is searched from entry 24, so "A" and "a" differ.
            int from = 0;
            if (text.size() == 1 && text[0].isUpper() && c->count() > 24 && items[i].font) from = 24;
            for (int k = from; k < c->count(); ++k)
                if (c->itemText(k).compare(text, Qt::CaseInsensitive) == 0) {
                    c->setCurrentIndex(k);
                    break;
                }
        }
    }
    m_refreshing = false;
    UpdateEnabledStates();
}

void CControlToolBar::UpdateEnabledStates()
{
    const CControlItemList& items = m_model.Items();
    for (int i = 0; i < items.GetCount(); ++i) {
        const int type = items[i].type;
        if (type == CI_SEPARATOR || type == CI_UNITPICTURE || type == CI_PUSHBUTTON) continue;
        const bool on = m_model.IsItemEnabled(i);
        if (QWidget* w = Control(items[i].id)) w->setEnabled(on);
        auto it = m_buttons.find(items[i].id);
        if (it == m_buttons.end()) continue;
        const int id = items[i].id;
        if (CControlBar::IsRoutedCommand(id) && !CControlBar::IsDeleteOrBack(id)) {
            // The menu's rule: greyed when no target on the route knows
            // the command or when it refuses it now.
            CCmdUI ui;
            ui.id = id;
            if (m_update) m_update(ui);
            it->second->setEnabled(on && ui.handled && ui.enabled);
            continue;
        }
        CCmdUI ui;
        ui.id = id;
        if (m_model.UpdateCommand(ui)) {
            it->second->setEnabled(ui.enabled || CControlBar::IsDeleteOrBack(ui.id));
            it->second->setCheckable(ui.checkable);
            if (ui.checkable) it->second->setChecked(ui.checked);
        }
    }
}

void CControlToolBar::SetTextColour(QLineEdit* edit, bool red)
{
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Text, red ? QColor(255, 0, 0) : QColor(0, 0, 0));
    edit->setPalette(pal);
}

void CControlToolBar::OnItemChanged(int id, const QString& text)
{
    if (m_building || m_refreshing || !m_model.Part()) return;
    const int result = m_model.Command(id, ToWindows1252(text));
    if (auto* e = qobject_cast<QLineEdit*>(Control(id))) SetTextColour(e, result & (PR_CLAMPED | PR_REFUSED));
    UpdateEnabledStates();
}

void CControlToolBar::OnItemConfirmed(int id, QLineEdit* edit)
{
    if (m_building || m_refreshing || !m_model.Part() || Control(id) != edit) return;
    CString message;
    const int result = m_model.ConfirmText(id, ToWindows1252(edit->text()), &message);
    if (!(result & (PR_CLAMPED | PR_REFUSED))) return;
    // The box shows the value the part holds, in black again.
    RefreshValues(false);
    SetTextColour(edit, false);
    if (!message.empty() && m_message) m_message(FromWindows1252(message));
}

int CControlToolBar::FirstButtonLeft() const
{
    int left = width();
    for (const auto& [id, action] : m_buttons)
        if (QWidget* w = widgetForAction(action)) left = std::min(left, w->geometry().left());
    return left;
}

bool CControlToolBar::eventFilter(QObject* watched, QEvent* event)
{
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return QToolBar::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        const QVariant id = widget->property(kItemIdProperty);
        if (!id.isValid()) break;
        const bool gained = event->type() == QEvent::FocusIn;
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // A window that goes inactive, or a drop list's own popup, keeps the
        // focus where it is; so does a move to another control of the bar.
        const bool keep = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
        const bool back = m_model.OnItemFocus(id.toInt(), gained);
        QWidget* next = QApplication::focusWidget();
        if (!gained && back && !keep && !(next && isAncestorOf(next)) && m_focusView) m_focusView();
        break;
    }
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::LeftButton) {
            const QPoint p = widget->mapTo(this, e->position().toPoint());
            m_drag.Press(CPoint(p.x(), p.y()));
        }
        break;
    }
    case QEvent::MouseButtonRelease: m_drag.Release(); break;
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint p = widget->mapTo(this, e->position().toPoint());
        if (m_drag.Move(CPoint(p.x(), p.y()), e->buttons() & Qt::LeftButton, FirstButtonLeft())) {
            // The press ends where it began: the button's click adds the
            // part, which then follows the mouse.
            const CPoint at = m_drag.PressPoint();
            const QPoint local = widget->mapFrom(this, QPoint(at.x, at.y));
            // A path that left the button sideways has raised it again; the
            // release at the press point must still find it down.
            if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setDown(true);
            QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(local),
                                                                QPointF(widget->mapToGlobal(local)), Qt::LeftButton,
                                                                Qt::NoButton, e->modifiers()));
            // The button does not see the move off it, so it is still down
            // when the release arrives and counts it as a click.
            return true;
        }
        break;
    }
    default: break;
    }
    return QToolBar::eventFilter(watched, event);
}
