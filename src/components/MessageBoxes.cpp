#include "components/MessageBoxes.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace hibi {

namespace {

MessageBoxes::Handler &handler()
{
    static MessageBoxes::Handler h;
    return h;
}

const QString kTitle = QStringLiteral("ヒビシルシ");

// What a window manager's title bar takes beside the title: the window icon, the
// minimize, maximize and close buttons and their margins.
constexpr int kTitleBarDecoration = 128;

// A message box sizes itself to its text, so a short text left the title bar too
// narrow for the title. A row of no height, as wide as the title needs, keeps the
// box wide enough: the box takes its layout's minimum width when it is shown.
void makeRoomForTitle(QMessageBox &box)
{
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int needed = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarDecoration;
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    const QMargins margins = grid->contentsMargins();
    grid->addItem(new QSpacerItem(needed - margins.left() - margins.right(), 0, QSizePolicy::Fixed, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

bool g_sessionEnding = false;

} // namespace

void MessageBoxes::setSessionEnding(bool ending)
{
    g_sessionEnding = ending;
}

bool MessageBoxes::sessionEnding()
{
    return g_sessionEnding;
}

void MessageBoxes::setHandler(Handler h)
{
    handler() = std::move(h);
}

void MessageBoxes::information(QWidget *parent, const QString &text)
{
    if (handler()) {
        handler()({Kind::Information, kTitle, text});
        return;
    }
    if (g_sessionEnding)
        return;
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    makeRoomForTitle(box);
    box.exec();
}

void MessageBoxes::error(QWidget *parent, const QString &text)
{
    if (handler()) {
        handler()({Kind::Error, kTitle, text});
        return;
    }
    if (g_sessionEnding)
        return;
    QMessageBox box(QMessageBox::Critical, kTitle, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    makeRoomForTitle(box);
    box.exec();
}

bool MessageBoxes::warningYesNo(QWidget *parent, const QString &title, const QString &text)
{
    if (handler())
        return handler()({Kind::WarningYesNo, title, text});
    if (g_sessionEnding)
        return false;
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    // Enter alone must not delete or give up anything.
    box.setDefaultButton(box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole));
    makeRoomForTitle(box);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace hibi
