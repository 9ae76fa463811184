#include "app/NavigationBar.h"

#include "components/Look.h"

#include <QLabel>
#include <QPushButton>

namespace hibi {

namespace {
constexpr int kGap = 10;
}

NavigationBar::NavigationBar(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("Panel0"));
    setGeometry(0, 56, 527, 50);
    setContextMenuPolicy(Qt::CustomContextMenu);
    SetBackground(this, Qt::white);
    btnprv = new QPushButton(QStringLiteral("前月"), this);
    btnprv->setObjectName(QStringLiteral("btnprv"));
    btnprv->setToolTip(QStringLiteral("Shift+クリックで前年"));
    btnprv->resize(60, 30);
    connect(btnprv, &QPushButton::clicked, this, &NavigationBar::previousClicked);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    btnnext = new QPushButton(QStringLiteral("翌月"), this);
    btnnext->setObjectName(QStringLiteral("btnnext"));
    btnnext->setToolTip(QStringLiteral("Shift+クリックで翌年"));
    btnnext->resize(60, 30);
    connect(btnnext, &QPushButton::clicked, this, &NavigationBar::nextClicked);
}

void NavigationBar::setCaption(const QString &caption)
{
    Label1->setText(caption);
    Label1->adjustSize();
}

void NavigationBar::setCaptionLook(const QFont &font, const QColor &text, const QColor &background)
{
    Label1->setFont(font);
    SetTextColor(Label1, text);
    SetBackground(Label1, background);
    Label1->adjustSize();
}

void NavigationBar::centre(int outerWidth)
{
    Label1->adjustSize();
    Label1->move(outerWidth / 2 - Label1->width() / 2, Label1->y());
    btnprv->move(Label1->x() - btnprv->width() - kGap, btnprv->y());
    btnnext->move(Label1->x() + Label1->width() + kGap, btnnext->y());
}

void NavigationBar::centreVertically()
{
    btnprv->move(btnprv->x(), (height() - btnprv->height()) / 2);
    btnnext->move(btnnext->x(), btnprv->y());
    Label1->move(Label1->x(), (height() - Label1->height()) / 2);
}

int NavigationBar::widthForEveryMonth(int frame) const
{
    // The caption is centred on the outer width W: 翌月 ends W/2 + caption/2 +
    // the gap and its width, which must lie inside W less the frame.
    const QFontMetrics metrics(Label1->font());
    int caption = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        const QString digits(4, QLatin1Char(digit));
        caption = std::max(caption, metrics.horizontalAdvance(QStringLiteral("%1年%2月").arg(digits, digits.left(2))));
    }
    caption += Label1->sizeHint().width() - metrics.horizontalAdvance(Label1->text());
    return caption + 1 + btnprv->width() + btnnext->width() + 2 * kGap + 2 + frame;
}

} // namespace hibi
