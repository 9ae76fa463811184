#include "components/ColorBox.h"

#include "components/Look.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace hibi {

namespace {

struct Entry
{
    Color color;
    const char16_t *name;
};

const Entry kEntries[] = {
    {clBlack, u"黒"}, {clMaroon, u"栗色"}, {clGreen, u"緑"}, {clOlive, u"オリーブ"},
    {clNavy, u"紺"}, {clPurple, u"紫"}, {clTeal, u"青緑"}, {clGray, u"灰色"},
    {clSilver, u"銀"}, {clRed, u"赤"}, {clLime, u"ライム"}, {clYellow, u"黄"},
    {clBlue, u"青"}, {clFuchsia, u"赤紫"}, {clAqua, u"水色"}, {clWhite, u"白"},
    {clMoneyGreen, u"マネーグリーン"}, {clSkyBlue, u"スカイブルー"}, {clCream, u"クリーム"}, {clMedGray, u"ミディアムグレー"},
};

QIcon swatch(Color color)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(ToQColor(color));
    QPainter(&pixmap).drawRect(0, 0, 13, 13);
    return QIcon(pixmap);
}

} // namespace

ColorBox::ColorBox(QWidget *parent)
    : QComboBox(parent)
{
    setIconSize(QSize(14, 14));
    for (const Entry &e : kEntries)
        addItem(swatch(e.color), QString::fromUtf16(e.name), QVariant::fromValue(quint32(e.color)));
    m_customIndex = count();
    addItem(QStringLiteral("その他の色..."));
    connect(this, &QComboBox::activated, this, &ColorBox::onActivated);
    setSelected(clBlack);
}

void ColorBox::setSelected(Color color)
{
    m_color = color;
    for (int i = 0; i < m_customIndex; ++i)
        if (itemData(i).toUInt() == color) {
            setCurrentIndex(i);
            setItemText(m_customIndex, QStringLiteral("その他の色..."));
            setItemIcon(m_customIndex, QIcon());
            return;
        }
    showCustom(color);
}

void ColorBox::showCustom(Color color)
{
    setItemIcon(m_customIndex, swatch(color));
    setItemText(m_customIndex, ColorToString(color));
    setCurrentIndex(m_customIndex);
}

void ColorBox::onActivated(int index)
{
    if (index != m_customIndex) {
        setSelected(itemData(index).toUInt());
        emit colorChanged(m_color);
        return;
    }
    QColorDialog dialog(ToQColor(m_color), this);
    if (dialog.exec() != QDialog::Accepted) {
        setSelected(m_color);   // back to what was shown
        return;
    }
    const QColor c = dialog.currentColor();
    setSelected(RgbColor(c.red(), c.green(), c.blue()));
    emit colorChanged(m_color);
}

} // namespace hibi
