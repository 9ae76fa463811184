#include "dialogs/Unit3.h"

#include "calendar/SpokenDay.h"
#include "components/Look.h"
#include "components/StandardGlyph.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace hibi {

namespace {
constexpr int kCountRightEdge = 120;
}

TForm3::TForm3(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("集計結果"));
    setFixedSize(295, 246);
    SetBackground(this, Qt::white);
    setFont(PixelFont(12));
}

void TForm3::setVisible(bool visible)
{
    if (visible && !BitBtn1)
        buildControls();
    QDialog::setVisible(visible);
}

void TForm3::buildControls()
{
    lblpart1 = label(this, QStringLiteral("lblpart1"), 56, 8);
    lblpart2 = label(this, QStringLiteral("lblpart2"), 56, 40);
    lblall = label(this, QStringLiteral("lblall"), 72, 28, QStringLiteral("全期間の集計結果"));
    lblall->hide();

    auto *bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(8, 64 + 9 - 2, 337, 2);   // only the bottom line of the bevel shows

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(56, 80, 177, 113);
    SetBackground(panel, QColor(192, 220, 192));   // money green

    for (const QLabel *glyph : {label(panel, QStringLiteral("Label2"), 42, 13, QStringLiteral("○：")),
                                label(panel, QStringLiteral("Label3"), 42, 45, QStringLiteral("×：")),
                                label(panel, QStringLiteral("Label4"), 42, 77, QStringLiteral("△："))})
        m_countsFrom = std::max(m_countsFrom, glyph->geometry().right() + 1);
    lblmaru = label(panel, QStringLiteral("lblmaru"), 0, 13);
    lblbatu = label(panel, QStringLiteral("lblbatu"), 0, 45);
    lblsankaku = label(panel, QStringLiteral("lblsankaku"), 0, 77);

    BitBtn1 = new QPushButton(StandardGlyph(QStyle::SP_DialogCloseButton), QStringLiteral("閉じる(&C)"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(80, 200, 105, 41);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

QLabel *TForm3::label(QWidget *parent, const QString &name, int x, int y, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(PixelFont(20));
    SetTextColor(l, Qt::black);
    l->move(x, y);
    l->adjustSize();
    return l;
}

void TForm3::setCount(QLabel *label, Mark mark, int value)
{
    label->setText(QString::number(value));
    // Read on its own, the number says what it counts: "まるの数 1".
    label->setAccessibleName(QStringLiteral("%1の数 %2").arg(MarkWord(mark)).arg(value));
    label->adjustSize();
    // Right-aligned under one another; a count too long for that (five digits and
    // more, from a calendar kept for decades) starts after its mark instead of
    // running over it, and the panel has room to its right.
    label->move(std::max(kCountRightEdge - label->width(), m_countsFrom), label->y());
}

void TForm3::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TForm3::FormShow()
{
    const bool range = FromYear != 0;
    lblall->setVisible(!range);
    lblpart1->setVisible(range);
    lblpart2->setVisible(range);
    if (range) {
        lblpart1->setText(QStringLiteral("%1年%2月%3日から").arg(FromYear).arg(FromMonth).arg(FromDay));
        lblpart2->setText(QStringLiteral("%1年%2月%3日").arg(ToYear).arg(ToMonth).arg(ToDay));
        lblpart1->adjustSize();
        lblpart2->adjustSize();
    }
    const MarkCounts none;
    const MarkCounts &c = Counts ? *Counts : none;
    setCount(lblmaru, Maru, c.maru);
    setCount(lblbatu, Batu, c.batu);
    setCount(lblsankaku, Sankaku, c.sankaku);
}

} // namespace hibi
