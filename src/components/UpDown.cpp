#include "components/UpDown.h"

#include "components/CtrlsEx.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>

namespace hibi {

namespace {

// A frame in the highlight colour over both arrows while the spinner has the
// focus: the arrow buttons cover the whole spinner, so it is drawn above them,
// and the mouse passes through it.
class FocusMark : public QWidget
{
public:
    explicit FocusMark(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("focusMark"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

// Screen readers read the spinner as a spin box whose value is its position.
class UpDownAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit UpDownAccessible(UpDown *spinner) : QAccessibleWidget(spinner, QAccessible::SpinBox) {}

    UpDown *spinner() const { return static_cast<UpDown *>(widget()); }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? QString::number(spinner()->position()) : QAccessibleWidget::text(t);
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return spinner()->position(); }
    // A value set by a screen reader counts as a click, which the owner answers.
    void setCurrentValue(const QVariant &value) override
    {
        spinner()->setPosition(value.toInt());
        emit spinner()->clicked();
    }
    QVariant maximumValue() const override { return spinner()->maximum(); }
    QVariant minimumValue() const override { return spinner()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface *upDownFactory(const QString &className, QObject *object)
{
    return className == QLatin1String("hibi::UpDown") ? new UpDownAccessible(static_cast<UpDown *>(object)) : nullptr;
}

} // namespace

UpDown::UpDown(QWidget *parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    m_focusMark = new FocusMark(this);
    connect(m_up, &QToolButton::clicked, this, [this] { step(m_increment); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-m_increment); });

    static const bool installed = [] {
        QAccessible::installFactory(upDownFactory);
        return true;
    }();
    Q_UNUSED(installed);
    // One asked for while the spinner was being built is a plain widget's.
    if (QAccessibleInterface *early = QAccessible::queryAccessibleInterface(this);
        early && !dynamic_cast<UpDownAccessible *>(early))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(early));
}

void UpDown::setRange(int min, int max)
{
    m_min = min;
    m_max = max;
    setPosition(m_position);
}

void UpDown::setPosition(int position)
{
    const int before = m_position;
    m_position = std::clamp(position, m_min, m_max);
    showInBuddy();
    if (m_position != before && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, m_position);
        QAccessible::updateAccessibility(&event);
    }
}

void UpDown::setAccessibleNames(const QString &spinner, const QString &up, const QString &down)
{
    setAccessibleName(spinner);
    m_up->setAccessibleName(up);
    m_down->setAccessibleName(down);
}

void UpDown::setBuddy(TEditEx *buddy)
{
    m_buddy = buddy;
    buddy->installEventFilter(this);
    showInBuddy();
}

void UpDown::showInBuddy()
{
    if (m_buddy)
        m_buddy->QLineEdit::setText(GroupThousands(QString::number(m_position)));
}

void UpDown::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        step(m_increment);
    else if (event->key() == Qt::Key_Down)
        step(-m_increment);
    else
        QWidget::keyPressEvent(event);
}

bool UpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            keyPressEvent(static_cast<QKeyEvent *>(event));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::step(int delta)
{
    int next = m_position + delta;
    if (m_wrap && next > m_max)
        next = m_min;
    else if (m_wrap && next < m_min)
        next = m_max;
    setPosition(next);
    emit clicked();
}

void UpDown::resizeEvent(QResizeEvent *)
{
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
    m_focusMark->setGeometry(rect());
}

void UpDown::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_focusMark->raise();
    m_focusMark->show();
}

void UpDown::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    m_focusMark->hide();
}

} // namespace hibi
