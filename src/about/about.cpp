#include "about/about.h"

#include "ProgramInfo.h"
#include "about/AboutInfo.h"
#include "about/HelpWindow.h"
#include "components/Look.h"
#include "components/Look.h"
#include "components/MessageBoxes.h"
#include "components/ProgramIcon.h"
#include "settings/Colors.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

namespace hibi {

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFixedSize(288, 175);
    setFont(PixelFont(12));
    SetBackground(this, ToQColor(clSkyBlue));

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(8, 8, 273, 129);

    auto *icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setGeometry(24, 8, 41, 41);
    icon->setScaledContents(true);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));

    auto label = [panel](const char *name, const QString &text, int x, int y, const QFont &font) {
        auto *l = new QLabel(text, panel);
        l->setObjectName(QLatin1String(name));
        l->setFont(font);
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    label("ProductName", QStringLiteral("ヒビシルシ"), 96, 8, PixelFont(17, true));
    label("Version", QStringLiteral("Version %1 ").arg(QLatin1String(program::kVersion)), 96, 32, PixelFont(17, true, true));
    QLabel *credit = label("Copyright", QString::fromUtf16(about::kCredit), 24, 64, PixelFont(15));
    credit->setGeometry(24, 64, 217, 25);
    credit->setAlignment(Qt::AlignRight | Qt::AlignTop);
    credit->setWordWrap(true);
    label("Comments", QStringLiteral("HomePage:"), 32, 88, PixelFont(15));
    QFont link = PixelFont(15);
    link.setUnderline(true);
    Label2 = label("Label2", QString::fromLatin1(about::kHomePage), 32, 104, link);
    Label2->setGeometry(32, 104, std::max(216, Label2->width()), std::max(15, Label2->height()));
    SetTextColor(Label2, ToQColor(clBlue));
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);
    // The keyboard reaches the link too, and Enter opens it.
    Label2->setFocusPolicy(Qt::TabFocus);
    Label2->setAccessibleName(QStringLiteral("ホームページ ") + Label2->text());
    Label2->setAccessibleDescription(QStringLiteral("Enter キーで開きます"));

    Button1 = new QPushButton(QStringLiteral("閉じる"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(112, 144, 65, 25);
    Button1->setFont(PixelFont(15, false, false, QStringLiteral("MS UI Gothic")));
    QPalette black = Button1->palette();
    black.setColor(QPalette::ButtonText, Qt::black);
    Button1->setPalette(black);
    connect(Button1, &QPushButton::clicked, this, &TAboutBox::Button1Click);
    Button1->setFocus();   // the box opens on its button, the link one Tab away
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        Label2Click();
    if (watched == Label2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            Label2Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::Label2Click()
{
    // Without a browser nothing opens: the user is told, and the link stays unvisited.
    if (!QDesktopServices::openUrl(QUrl(Label2->text()))) {
        MessageBoxes::error(this, QStringLiteral("ホームページを開けませんでした。\r\nWebブラウザーで次のアドレスを開いてください。\r\n%1")
                                          .arg(Label2->text()));
        return;
    }
    SetTextColor(Label2, ToQColor(clPurple));   // visited, until the box closes
}

void TAboutBox::Button1Click()
{
    close();
}

void OpenHelp(HelpHost *host, QWidget *parent, const QString &programFolder)
{
    // One help window per main window: asked again, it comes to the front.
    THelpWindow *help = parent ? parent->findChild<THelpWindow *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!help)
        help = new THelpWindow(host, programFolder, parent);
    help->show();
    help->raise();
    help->activateWindow();
}

} // namespace hibi
