#include "dialogs/RestoreDialog.h"

#include "components/Look.h"
#include "components/MessageBoxes.h"
#include "storage/FileError.h"
#include "storage/OpenCalendar.h"
#include "tally/Tally.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace hibi {

namespace {

QString dayText(const QDate &date)
{
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

} // namespace

TRestoreDialog::TRestoreDialog(OpenCalendar &calendar, QWidget *parent)
    : QDialog(parent), m_calendar(calendar)
{
    setObjectName(QStringLiteral("RestoreDialog"));
    setWindowTitle(QStringLiteral("バックアップから復元 - %1").arg(calendar.CurrentCalendarName()));
    setFont(PixelFont(12));

    lblinfo = new QLabel(this);
    lblinfo->setObjectName(QStringLiteral("lblinfo"));
    lblinfo->setWordWrap(true);
    lvbackups = new QTreeWidget(this);
    lvbackups->setObjectName(QStringLiteral("lvbackups"));
    lvbackups->setAccessibleName(QStringLiteral("バックアップ"));
    lvbackups->setRootIsDecorated(false);
    lvbackups->setHeaderLabels({QStringLiteral("日付"), QStringLiteral("○"), QStringLiteral("×"), QStringLiteral("△")});
    lvbackups->header()->setStretchLastSection(false);
    lvbackups->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 4; ++column)
        lvbackups->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    lblinfo->setBuddy(lvbackups);
    connect(lvbackups, &QTreeWidget::itemActivated, this, [this] { btnrestoreClick(); });

    btnrestore = new QPushButton(QStringLiteral("復元(&R)"), this);
    btnrestore->setObjectName(QStringLiteral("btnrestore"));
    btnrestore->setAutoDefault(false);
    connect(btnrestore, &QPushButton::clicked, this, &TRestoreDialog::btnrestoreClick);
    btnclose = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    btnclose->setObjectName(QStringLiteral("btnclose"));
    connect(btnclose, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnrestore);
    buttons->addWidget(btnclose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblinfo);
    layout->addWidget(lvbackups);
    layout->addLayout(buttons);
    resize(460, 320);
    listBackups();
}

void TRestoreDialog::listBackups()
{
    m_entries = ListBackups(m_calendar.CalendarPath());
    lvbackups->clear();
    for (const BackupEntry &entry : m_entries) {
        QString day = dayText(entry.date);
        if (entry.beforeRestore)
            day += QStringLiteral("（復元する前）");
        QStringList columns{day};
        try {
            const MarkCounts counts = TallyAll(entry.path);
            columns << QString::number(counts.maru) << QString::number(counts.batu) << QString::number(counts.sankaku);
        } catch (const FileError &) {
            columns << QStringLiteral("読めません") << QString() << QString();
        }
        auto *item = new QTreeWidgetItem(lvbackups, columns);
        for (int column = 1; column < 4; ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (m_entries.isEmpty()) {
        lblinfo->setText(QStringLiteral("「%1」のバックアップはまだありません。その日に初めて印を保存するとき、"
                                        "保存する前の内容がバックアップされます。")
                                 .arg(m_calendar.CurrentCalendarName()));
    } else {
        lblinfo->setText(QStringLiteral("「%1」の、その日に初めて保存する前の内容です。戻す日を選んでください(&B):")
                                 .arg(m_calendar.CurrentCalendarName()));
        lvbackups->setCurrentItem(lvbackups->topLevelItem(0));
    }
    btnrestore->setEnabled(!m_entries.isEmpty());
    lvbackups->setFocus();
}

void TRestoreDialog::btnrestoreClick()
{
    const int index = lvbackups->indexOfTopLevelItem(lvbackups->currentItem());
    if (index < 0 || index >= m_entries.size())
        return;
    const BackupEntry entry = m_entries[index];
    const QString question = QStringLiteral("「%1」を %2 のバックアップの内容に戻します。\r\n"
                                            "いまの内容もバックアップに残るので、あとで戻せます。よろしいですか？")
                                     .arg(m_calendar.CurrentCalendarName(), dayText(entry.date));
    if (!MessageBoxes::warningYesNo(this, QStringLiteral("確認"), question))
        return;
    try {
        m_calendar.restoreCalendar(entry.path);
    } catch (const FileError &e) {
        MessageBoxes::error(this, e.message());
        listBackups();
        return;
    }
    // The list goes first and the main window owns the answer, so that the
    // keyboard's focus goes back to it when the answer is read.
    accept();
    MessageBoxes::information(parentWidget() ? parentWidget() : this,
                              QStringLiteral("「%1」を %2 の内容に戻しました。")
                                      .arg(m_calendar.CurrentCalendarName(), dayText(entry.date)));
}

} // namespace hibi
