#include "components/UpDown.h"

#include <QToolButton>

namespace hibi {

UpDown::UpDown(QWidget *parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
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
}

} // namespace hibi
