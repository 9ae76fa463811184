#include "components/CtrlsEx.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace hibi {

TButtonEx::TButtonEx(QWidget *parent)
    : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, [this] {
        if (m_modalResult == 0)
            return;
        for (QWidget *w = parentWidget(); w; w = w->parentWidget())
            if (auto *dialog = qobject_cast<QDialog *>(w)) {
                dialog->done(m_modalResult);
                return;
            }
    });
}

void TButtonEx::setSytle(TButtonExStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    update();
}

void TButtonEx::setModalResult(int result)
{
    m_modalResult = result;
    static const char16_t *const captions[] = {u"OK", u"ｷｬﾝｾﾙ", u"中止(&A)", u"再試行(&R)", u"無視(&I)",
                                               u"はい(&Y)", u"いいえ(&N)", u"すべて"};
    if (result >= 1 && result <= 8)
        QPushButton::setText(QString::fromUtf16(captions[result - 1]));
}

bool TButtonEx::IsFocused() const
{
    return isDefault() || (autoDefault() && hasFocus());
}

void TButtonEx::paintEvent(QPaintEvent *event)
{
    if (m_style == bsStandard) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setFont(font());
    ButtonDrawState state;
    state.selected = isDown();
    state.disabled = !isEnabled();
    state.focused = hasFocus();
    state.isDefault = IsFocused();
    DrawButton(painter, {0, 0, width(), height()}, state);
}

void TButtonEx::DrawButton(QPainter &painter, CellRect rect, ButtonDrawState state)
{
    if (m_style == bsOwnerDrawWithFrame) {
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        option.icon = QIcon();
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
        rect = {rect.left + 4, rect.top + 4, rect.right - 4, rect.bottom - 4};
        if (state.focused) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = rect.toRect();
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
        if (state.selected) {
            ++rect.left;
            ++rect.top;
        }
    } else {
        painter.fillRect(rect.toRect(), palette().color(QPalette::Button));
    }
    if (m_onDrawButton) {
        m_onDrawButton(this, painter, rect, state);
        return;
    }
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QRect measure(rect.left, rect.top, rect.right - rect.left - 2, rect.bottom - rect.top - 2);
    const int flags = Qt::TextWordWrap | Qt::TextExpandTabs | Qt::TextShowMnemonic;
    const QRect used = painter.boundingRect(measure, flags, text());
    const int dx = (rect.right - rect.left - used.width()) / 2;
    const int dy = (rect.bottom - rect.top - used.height()) / 2;
    painter.drawText(QRect(rect.left + dx, rect.top + dy, rect.right - rect.left - 2 * dx, rect.bottom - rect.top - 2 * dy),
                     flags, text());
}

QString GroupThousands(const QString &text)
{
    QString grouped = text;
    for (qsizetype k = grouped.size(); k > 3;) {
        k -= 3;
        grouped.insert(k, QLatin1Char(','));
    }
    return grouped;
}

TEditEx::TEditEx(QWidget *parent)
    : QLineEdit(parent)
{
}

void TEditEx::setThousands(bool on)
{
    if (on == m_thousands)
        return;
    m_thousands = on;
    if (on)
        Regroup();
}

QString TEditEx::Text() const
{
    QString raw = QLineEdit::text();
    if (m_thousands)
        raw.remove(QLatin1Char(','));
    return raw;
}

void TEditEx::setText(const QString &text)
{
    QLineEdit::setText(m_thousands ? GroupThousands(text) : text);
}

void TEditEx::Regroup()
{
    const QString raw = QLineEdit::text();
    const qsizetype length = raw.size();
    const qsizetype start = hasSelectedText() ? selectionStart() : cursorPosition();
    const qsizetype end = hasSelectedText() ? selectionEnd() : cursorPosition();
    const qsizetype fromStart = length - start;
    const qsizetype fromEnd = length - end;
    QString digits = raw;
    digits.remove(QLatin1Char(','));
    const QString grouped = GroupThousands(digits);
    QLineEdit::setText(grouped);
    const int newStart = int(std::max<qsizetype>(0, grouped.size() - fromStart));
    const int newEnd = int(std::max<qsizetype>(0, grouped.size() - fromEnd));
    if (newStart == newEnd)
        setCursorPosition(newEnd);
    else
        setSelection(newStart, newEnd - newStart);
}

void TEditEx::keyPressEvent(QKeyEvent *event)
{
    // Enter inserts nothing; QLineEdit passes it on to the dialog's default button.
    QLineEdit::keyPressEvent(event);
    // Every typed character regroups, a backspace included.
    if (m_thousands && !event->text().isEmpty())
        Regroup();
}

void TEditEx::showEvent(QShowEvent *event)
{
    QLineEdit::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        selectAll();
    }
}

} // namespace hibi
