#include "WindowTest.h"

#include "about/about.h"
#include "about/AboutInfo.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

using namespace hibi;
using namespace hibi::test;

// Receives what the program asks the desktop to open, instead of a browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestAbout : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void linkTurnsPurpleUntilTheBoxCloses();
    void helpWithoutFileSaysSo();
    void helpOpensTheFile();

private:
    UrlCatcher m_catcher;
};

void TestAbout::initTestCase()
{
    QDesktopServices::setUrlHandler("https", &m_catcher, "open");
    QDesktopServices::setUrlHandler("file", &m_catcher, "open");
}

void TestAbout::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("file");
}

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
    QCOMPARE(texts.mid(0, 5), (QStringList{"ヒビシルシ", "Version 1.21 ", QString::fromUtf16(about::kCredit), "HomePage:",
                                           QString::fromLatin1(about::kHomePage)}));
    QCOMPARE(m_catcher.opened, QList<QUrl>{QUrl(QString::fromLatin1(about::kHomePage))});
}

void TestAbout::helpWithoutFileSaysSo()
{
    m_catcher.opened.clear();
    QVERIFY(openWindow());
    MessageRecorder &messages = this->messages();
    const int month = window()->DisplayMonth;
    window()->findChild<QAction *>("mnuhelp")->trigger();
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("ヘルプファイル %1 が見つかりません").arg(QDir::toNativeSeparators(folder() + "hibisi.hlp"))});
    QCOMPARE(window()->DisplayMonth, month);
    QVERIFY(m_catcher.opened.isEmpty());
}

void TestAbout::helpOpensTheFile()
{
    m_catcher.opened.clear();
    QVERIFY(openWindow());
    MessageRecorder &messages = this->messages();
    writeFile(folder() + "hibisi.hlp", "help");
    window()->findChild<QAction *>("mnuhelp")->trigger();
    QVERIFY(messages.boxes.isEmpty());
    QCOMPARE(m_catcher.opened, QList<QUrl>{QUrl::fromLocalFile(folder() + "hibisi.hlp")});
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
