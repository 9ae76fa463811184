#include "WindowTest.h"

#include "about/about.h"
#include "about/AboutInfo.h"
#include "app/Program.h"

#include <QDesktopServices>
#include <QStandardPaths>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

using namespace hibi;
using namespace hibi::test;

class TestAbout : public WindowTest
{
    Q_OBJECT

private slots:
    void linkTurnsPurpleUntilTheBoxCloses();
    void linkThatCannotOpenIsSaid();
    void applicationCarriesTheProgramsNames();

private:
    UrlCatcher m_catcher;
};

void TestAbout::linkTurnsPurpleUntilTheBoxCloses()
{
    m_catcher.opened.clear();
    QVERIFY(openWindow());
    QList<QColor> colours;
    QStringList texts;
    auto operate = [&](bool click) {
        whenModal([&, click](QWidget *dialog) {
            auto *link = dialog->findChild<QLabel *>("Label2");
            colours << link->palette().color(QPalette::WindowText);
            for (const char *name : {"ProductName", "Version", "Copyright", "Comments", "Label2"})
                texts << dialog->findChild<QLabel *>(name)->text();
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
            if (click) {
                mouseClick(link, Qt::LeftButton);
                colours << link->palette().color(QPalette::WindowText);
                savePicture(dialog, "about");
            }
            mouseClick(dialog->findChild<QPushButton *>("Button1"), Qt::LeftButton);
        });
        window()->findChild<QAction *>("mnuversion")->trigger();
    };
    operate(true);
    operate(false);   // a fresh box: blue again
    QCOMPARE(colours, (QList<QColor>{QColor(0, 0, 255), QColor(128, 0, 128), QColor(0, 0, 255)}));
    QCOMPARE(texts.mid(0, 5), (QStringList{"ヒビシルシ", QStringLiteral("Version %1 ").arg(HIBI_VERSION), QString::fromUtf16(about::kCredit), "HomePage:",
                                           QString::fromLatin1(about::kHomePage)}));
    QCOMPARE(m_catcher.opened, QList<QUrl>{QUrl(QString::fromLatin1(about::kHomePage))});
}

// Without a browser the click says so, and the link stays blue.
void TestAbout::linkThatCannotOpenIsSaid()
{
    m_catcher.opened.clear();
    m_catcher.refuse(true);
    QVERIFY(openWindow());
    QColor after;
    whenModal([&](QWidget *dialog) {
        auto *link = dialog->findChild<QLabel *>("Label2");
        mouseClick(link, Qt::LeftButton);
        after = link->palette().color(QPalette::WindowText);
        mouseClick(dialog->findChild<QPushButton *>("Button1"), Qt::LeftButton);
    });
    window()->findChild<QAction *>("mnuversion")->trigger();
    m_catcher.refuse(false);
    QCOMPARE(after, QColor(0, 0, 255));
    QCOMPARE(messages().boxes.size(), 1);
    QCOMPARE(messages().boxes[0].kind, MessageBoxes::Kind::Error);
    QVERIFY(messages().texts()[0].contains(QString::fromLatin1(about::kHomePage)));
    QVERIFY(m_catcher.opened.isEmpty());
}

void TestAbout::applicationCarriesTheProgramsNames()
{
    SetUpApplication(*qApp);
    // An ASCII name for the data folder and the window class; the version of
    // CMakeLists.txt; the desktop entry's name, so desktops match window and entry.
    QCOMPARE(QCoreApplication::applicationName(), "hibisi");
    QCOMPARE(QCoreApplication::applicationVersion(), HIBI_VERSION);
    QCOMPARE(QGuiApplication::desktopFileName(), HIBI_DESKTOP_ID);
    QVERIFY(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).endsWith("/hibisi"));
    // No display name, which Qt would append to every window title.
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());

    // The window icon is the desktop's icon, at the sizes a window is shown with
    // (the larger ones are the icon theme's, see tst_install).
    auto pixels = [](const QImage &image) { return image.convertToFormat(QImage::Format_ARGB32_Premultiplied); };
    const QIcon icon = QApplication::windowIcon();
    QCOMPARE(icon.availableSizes(),
             (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}}));
    for (int size : {16, 32, 48, 64}) {
        const QImage installed(QStringLiteral(HIBI_ICONS "/hibisi-%1.png").arg(size));
        QCOMPARE(installed.size(), QSize(size, size));
        QCOMPARE(pixels(icon.pixmap(size, size).toImage()), pixels(installed));
    }
    // The About box shows it too.
    QVERIFY(openWindow());
    whenModal([&](QWidget *dialog) {
        const QImage shown = dialog->findChild<QLabel *>("ProgramIcon")->pixmap().toImage();
        QCOMPARE(pixels(shown), pixels(QImage(HIBI_ICONS "/hibisi-32.png")));
        dialog->close();
    });
    window()->findChild<QAction *>("mnuversion")->trigger();

    // Qt's own dialogs speak Japanese.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), "キャンセル");
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
