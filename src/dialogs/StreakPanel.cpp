#include "dialogs/StreakPanel.h"

#include "calendar/Clock.h"
#include "components/CtrlsEx.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

#include <algorithm>

namespace hibi {

namespace {

const QString kMarkSigns[3] = {QStringLiteral("○"), QStringLiteral("×"), QStringLiteral("△")};

QString dateText(const std::chrono::year_month_day &date, int year)
{
    const QString monthDay = QStringLiteral("%1月%2日").arg(unsigned(date.month())).arg(unsigned(date.day()));
    return int(date.year()) == year ? monthDay : QStringLiteral("%1年").arg(int(date.year())) + monthDay;
}

} // namespace

QString DescribeRun(const QString &caption, Mark mark, const DayRun &run, int year)
{
    const QString head = caption + QLatin1Char(' ') + kMarkSigns[std::clamp(int(mark), 1, 3) - 1] + QLatin1Char(' ');
    if (run.days == 0)
        return head + QStringLiteral("なし");
    const QString dates = run.first == run.last
                                  ? dateText(run.first, year)
                                  : dateText(run.first, year) + QStringLiteral("〜") + dateText(run.last, year);
    return head + GroupThousands(QString::number(run.days)) + QStringLiteral("日（") + dates + QStringLiteral("）");
}

StreakPanel::StreakPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("streaks"));
    auto *caption = new QLabel(QStringLiteral("連続日数(&R):"), this);
    caption->setObjectName(QStringLiteral("lblstreak"));
    caption->setAccessibleName(QStringLiteral("連続日数"));   // read without its key letter
    cboxstreak = new QComboBox(this);
    cboxstreak->setObjectName(QStringLiteral("cboxstreak"));
    for (const Mark mark : {Maru, Batu, Sankaku})
        cboxstreak->addItem(kMarkSigns[mark - 1], int(mark));
    cboxstreak->setAccessibleName(QStringLiteral("連続日数を数える印"));
    cboxstreak->setToolTip(QStringLiteral("連続日数を数える印（↑↓で選ぶ）"));
    caption->setBuddy(cboxstreak);
    lbllongest = new QLabel(this);
    lbllongest->setObjectName(QStringLiteral("lbllongest"));
    lblcurrent = new QLabel(this);
    lblcurrent->setObjectName(QStringLiteral("lblcurrent"));
    for (QLabel *label : {lbllongest, lblcurrent})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(10, 0, 10, 0);
    layout->setHorizontalSpacing(12);
    layout->setVerticalSpacing(2);
    layout->addWidget(caption, 0, 0, 2, 1, Qt::AlignVCenter);
    layout->addWidget(cboxstreak, 0, 1, 2, 1, Qt::AlignVCenter);
    layout->addWidget(lbllongest, 0, 2);
    layout->addWidget(lblcurrent, 1, 2);
    layout->setColumnStretch(2, 1);

    connect(cboxstreak, &QComboBox::currentIndexChanged, this, &StreakPanel::showMark);
    showMark();
}

std::array<Streaks, 3> StreakPanel::read(const QString &calendarPath, int year)
{
    const YearMonthDay16 today = Today();
    return ReadStreaks(calendarPath, year, std::chrono::year(today.year) / today.month / today.day);
}

void StreakPanel::setStreaks(int year, const std::array<Streaks, 3> &streaks)
{
    m_year = year;
    m_streaks = streaks;
    showMark();
}

Mark StreakPanel::mark() const
{
    return Mark(cboxstreak->currentData().toInt());
}

void StreakPanel::showMark()
{
    const Streaks &s = m_streaks[size_t(mark() - 1)];
    lbllongest->setText(DescribeRun(QStringLiteral("最長連続"), mark(), s.longest, m_year));
    lblcurrent->setText(DescribeRun(QStringLiteral("現在の連続"), mark(), s.current, m_year));
}

} // namespace hibi
