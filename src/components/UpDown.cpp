#include "components/UpDown.h"

#include "components/CtrlsEx.h"

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
}

void UpDown::setRange(int min, int max)
{
    m_min = min;
    m_max = max;
    setPosition(m_position);
}

void UpDown::setPosition(int position)
{
    m_position = std::clamp(position, m_min, m_max);
    showInBuddy();
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
