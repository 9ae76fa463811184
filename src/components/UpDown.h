#pragma once

#include <QWidget>

class QToolButton;

namespace hibi {

class TEditEx;

// An up-down spinner without an edit box: two arrow buttons stacked. The up arrow
// adds the increment, which may be negative; the position stays within the range.
class UpDown : public QWidget
{
    Q_OBJECT

public:
    explicit UpDown(QWidget *parent = nullptr);

    void setRange(int min, int max);
    void setIncrement(int increment) { m_increment = increment; }
    void setWrap(bool wrap) { m_wrap = wrap; }
    int position() const { return m_position; }
    void setPosition(int position);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }

    // The edit box that shows the position (grouped by thousands) and whose arrow
    // keys move it.
    void setBuddy(TEditEx *buddy);

    // What screen readers call the spinner and its two arrows.
    void setAccessibleNames(const QString &spinner, const QString &up, const QString &down);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

signals:
    // After a click on either arrow has moved the position (or tried to, at a bound).
    void clicked();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step(int delta);
    void showInBuddy();

    TEditEx *m_buddy = nullptr;
    QToolButton *m_up;
    QToolButton *m_down;
    QWidget *m_focusMark;   // shown while the spinner has the focus
    int m_min = 0;
    int m_max = 100;
    int m_increment = 1;
    bool m_wrap = false;
    int m_position = 0;
};

} // namespace hibi
