#include "app/NameBar.h"

#include "components/Look.h"
#include "components/UpDown.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

namespace hibi {

NameBar::NameBar(QAbstractItemModel *calendars, QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("Panel1"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setGeometry(0, 28, 527, 28);
    setContextMenuPolicy(Qt::CustomContextMenu);
    SetBackground(this, ToQColor(clBtnFace));

    cbox1 = new QComboBox(this);
    cbox1->setObjectName(QStringLiteral("cbox1"));
    cbox1->setEditable(false);
    cbox1->move(0, 2);
    cbox1->setContextMenuPolicy(Qt::CustomContextMenu);
    cbox1->setAccessibleName(QStringLiteral("データ"));
    // Screen readers on Linux name a list box by the label it belongs to, and read
    // its name as the entry chosen; the window shows no label, so this one stays hidden.
    auto *listLabel = new QLabel(QStringLiteral("データ"), this);
    listLabel->setObjectName(QStringLiteral("cbox1Label"));
    listLabel->setBuddy(cbox1);
    listLabel->hide();
    // Its width is the window's to set: the size it asks for need not measure
    // every name, which would cost the start time per calendar.
    cbox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbox1->setModel(calendars);
    connect(cbox1, &QComboBox::activated, this, &NameBar::calendarChosen);

    UpDown1 = new UpDown(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setRange(8, 20);
    UpDown1->setIncrement(-1);
    UpDown1->setPosition(12);
    UpDown1->resize(21, 24);
    // The size steps by −1: the up arrow makes the names smaller, as it always
    // did; each arrow says what it does. Tab reaches it, and Up and Down step it.
    UpDown1->setFocusPolicy(Qt::TabFocus);
    UpDown1->setAccessibleNames(QStringLiteral("データ名の文字の大きさ"), QStringLiteral("データ名の文字を小さく"),
                                QStringLiteral("データ名の文字を大きく"));
    UpDown1->upButton()->setToolTip(QStringLiteral("データ名の文字を小さく"));
    UpDown1->downButton()->setToolTip(QStringLiteral("データ名の文字を大きく"));
    connect(UpDown1, &UpDown::clicked, this, [this] {
        setListPointSize(UpDown1->position());
        emit listSizeChosen();
    });
}

int NameBar::listPointSize() const
{
    return cbox1->font().pointSize();
}

void NameBar::setListPointSize(int points)
{
    UpDown1->setPosition(points);
    QFont font = cbox1->font();
    font.setPointSize(UpDown1->position());
    cbox1->setFont(font);
}

void NameBar::fitHeight()
{
    cbox1->resize(cbox1->width(), cbox1->sizeHint().height());
    resize(width(), cbox1->height() + 4);
    UpDown1->resize(UpDown1->width(), cbox1->height());
}

void NameBar::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    UpDown1->move(width() - UpDown1->width(), 0);
    cbox1->resize(std::max(0, UpDown1->x() - 1), cbox1->height());
}

} // namespace hibi
