// The help: the program's own Japanese document in a window of its own, opened
// from the menu and with F1, with working links, a picture of the main window,
// the folder the files are in, and a place it keeps.
#include "WindowTest.h"

#include "about/AboutInfo.h"
#include "about/HelpWindow.h"
#include "settings/IniFile.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>

using namespace hibi;
using namespace hibi::test;

class TestHelp : public WindowTest
{
    Q_OBJECT

private slots:
    void opensFromTheMenu();
    void f1OpensOneWindow();
    void contentsLinksScrollToTheirSection_data();
    void contentsLinksScrollToTheirSection();
    void everyLinkHasItsTarget();
    void yearChartPictureInItsSection();
    void backForwardAndHome();
    void homePageOpensInTheBrowser();
    void keepsItsPlace();
    void keepsItsPlaceForTheRunWhenSettingsCannotBeWritten();

private:
    // The main window on a folder that also holds the old viewer's help file,
    // which changes nothing.
    TForm1 *open();
    THelpWindow *helpWindow() const { return window()->findChild<THelpWindow *>(); }
    THelpWindow *openWithF1();
    void click(QWidget *widget, QPoint pos = {});
    void clickLink(const QString &href);
    QTextCursor anchor(const QString &name) const;
    // The top of a piece of the document in the browser's view, in pixels.
    int viewTop(const QTextCursor &cursor) const { return m_browser->cursorRect(cursor).top(); }

    QTextBrowser *m_browser = nullptr;
    UrlCatcher m_catcher;
};

TForm1 *TestHelp::open()
{
    m_catcher.opened.clear();
    m_browser = nullptr;
    writeFile(folder() + "hibisi.hlp", "old help");
    return openWindow();
}

void TestHelp::click(QWidget *widget, QPoint pos)
{
    if (pos.isNull())
        pos = widget->rect().center();
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, widget->mapTo(window, pos));
}

THelpWindow *TestHelp::openWithF1()
{
    // F1 belongs to the main window: it has to be the active one, as for a user.
    window()->activateWindow();
    if (!QTest::qWaitForWindowActive(window()))
        return nullptr;
    QTest::keyClick(window()->windowHandle(), Qt::Key_F1);
    THelpWindow *help = helpWindow();
    if (help && QTest::qWaitForWindowExposed(help))
        m_browser = help->browser();
    return help;
}

QTextCursor TestHelp::anchor(const QString &name) const
{
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(name)) {
                QTextCursor cursor(m_browser->document());
                cursor.setPosition(it.fragment().position());
                return cursor;
            }
        }
    }
    return QTextCursor();
}

// Clicks the first link to `href` where it is shown, scrolling it into view first
// as a user would, with the scroll bar.
void TestHelp::clickLink(const QString &href)
{
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().anchorHref() != href)
                continue;
            QTextCursor cursor(m_browser->document());
            cursor.setPosition(fragment.position() + fragment.length() / 2);
            const QRect shown = m_browser->viewport()->rect();
            if (!shown.contains(m_browser->cursorRect(cursor))) {
                QScrollBar *bar = m_browser->verticalScrollBar();
                bar->setValue(bar->value() + m_browser->cursorRect(cursor).top() - shown.height() / 2);
            }
            QVERIFY(shown.contains(m_browser->cursorRect(cursor)));
            click(m_browser->viewport(), m_browser->cursorRect(cursor).center());
            return;
        }
    }
    QFAIL(qPrintable("no link to " + href));
}

void TestHelp::opensFromTheMenu()
{
    QVERIFY(open());
    MessageRecorder &messages = this->messages();
    QMenuBar *bar = window()->menuBar();
    QMenu *helpMenu = nullptr;
    for (QAction *a : bar->actions()) {
        if (a->text() == "ヘルプ(&H)")
            helpMenu = a->menu();
    }
    QVERIFY(helpMenu);
    click(bar, bar->actionGeometry(helpMenu->menuAction()).center());
    QTRY_VERIFY(helpMenu->isVisible());
    QAction *contents = helpMenu->findChild<QAction *>("mnuhelp");
    QCOMPARE(contents->text(), "目次(&C)...");
    click(helpMenu, helpMenu->actionGeometry(contents).center());
    QTRY_VERIFY(helpWindow() && helpWindow()->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(helpWindow()));
    m_browser = helpWindow()->browser();

    QCOMPARE(helpWindow()->windowTitle(), "ヒビシルシ ヘルプ");
    QCOMPARE(m_browser->documentTitle(), "ヒビシルシ ヘルプ");
    const QString text = m_browser->toPlainText();
    for (const char *words : {"マウスで印をつける", "右ボタンを押したまま左ボタンをクリック", "キーボードで使う", "範囲を指定して集計",
                                 "同じ日付を全部のデータに入力する", "ファイルの場所", "Windows 版との互換性", "祝日の決まり", "振替休日"})
        QVERIFY2(text.contains(QString::fromUtf8(words)), words);
    // The document names this copy's folder, and its own version.
    QVERIFY(text.contains(QDir::toNativeSeparators(folder())));
    QVERIFY(text.contains(QStringLiteral("バージョン %1").arg(HIBI_VERSION)));
    QVERIFY(!text.contains('@'));   // nothing left unfilled

    // The picture of the main window is drawn where the window is described.
    const QImage picture(":/help/mainwindow.png");
    QVERIFY(picture.width() > 300 && picture.height() > 300);
    QCOMPARE(m_browser->document()->resource(QTextDocument::ImageResource, QUrl("mainwindow.png")).value<QImage>(), picture);
    // On screen: as many pixels of the red 日 header cell as the picture has.
    auto redPixels = [](const QImage &image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == QColor(255, 0, 0);
        return n;
    };
    m_browser->scrollToAnchor("window");
    QVERIFY(redPixels(picture) > 500);
    QCOMPARE(redPixels(m_browser->viewport()->grab().toImage()), redPixels(picture));

    // The old viewer's file is left alone and nothing outside the program opens.
    QVERIFY(messages.boxes.isEmpty());
    QVERIFY(m_catcher.opened.isEmpty());
    m_browser->grab().save(QDir::temp().filePath("hibi-help.png"));
}

void TestHelp::f1OpensOneWindow()
{
    QVERIFY(open());
    THelpWindow *help = openWithF1();
    QVERIFY(help);
    QCOMPARE(m_browser->source(), THelpWindow::HomePage());
    // Asked again, the same window comes to the front.
    openWithF1();
    QCOMPARE(window()->findChildren<THelpWindow *>().size(), 1);
    QCOMPARE(helpWindow(), help);
    // The main window stays usable beside it.
    QVERIFY(!help->isModal());
    QVERIFY(window()->isEnabled());
}

void TestHelp::contentsLinksScrollToTheirSection_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("heading");
    QTest::newRow("purpose") << "purpose" << "このプログラムでできること";
    QTest::newRow("window") << "window" << "画面の見かた";
    QTest::newRow("mouse") << "mouse" << "マウスで印をつける";
    QTest::newRow("keyboard") << "keyboard" << "キーボードで使う";
    QTest::newRow("screenreader") << "screenreader" << "画面読み上げソフトで使う";
    QTest::newRow("undo") << "undo" << "元に戻す・やり直す";
    QTest::newRow("month") << "month" << "月を移動する";
    QTest::newRow("list") << "list" << "データ（カレンダー）の一覧";
    QTest::newRow("count") << "count" << "印を数える（集計）";
    QTest::newRow("chart") << "chart" << "年間グラフ";
    QTest::newRow("bulk") << "bulk" << "同じ日付を全部のデータに入力する";
    QTest::newRow("settings") << "settings" << "設定（色と文字）";
    QTest::newRow("export") << "export" << "CSV ファイルに書き出す";
    QTest::newRow("print") << "print" << "印刷する・PDF に保存する";
    QTest::newRow("files") << "files" << "ファイルの場所";
    QTest::newRow("holidays") << "holidays" << "祝日の決まり";
    QTest::newRow("help") << "help" << "このヘルプ画面";
}

void TestHelp::contentsLinksScrollToTheirSection()
{
    QVERIFY(open());
    QFETCH(QString, name);
    QFETCH(QString, heading);
    QVERIFY(openWithF1());
    const QTextCursor target = anchor(name);
    QVERIFY(!target.isNull());
    QCOMPARE(target.block().text(), heading);

    // The entry of the contents, at the top of the document.
    clickLink("#" + name);
    QTRY_COMPARE(m_browser->source().fragment(), name);
    // The heading is in view: at the top, or as high as the end of the document lets it.
    QScrollBar *bar = m_browser->verticalScrollBar();
    QTRY_VERIFY(viewTop(target) >= 0 && viewTop(target) < m_browser->viewport()->height());
    QVERIFY2(viewTop(target) < 30 || bar->value() == bar->maximum(), qPrintable(QString::number(viewTop(target))));
    if (name != "purpose")
        QVERIFY(bar->value() > 0);
}

void TestHelp::everyLinkHasItsTarget()
{
    QVERIFY(open());
    QVERIFY(openWithF1());
    QStringList names;
    QStringList hrefs;
    for (QTextBlock block = m_browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            names << it.fragment().charFormat().anchorNames();
            const QString href = it.fragment().charFormat().anchorHref();
            if (!href.isEmpty() && !hrefs.contains(href))
                hrefs << href;
        }
    }
    QVERIFY(hrefs.size() >= 13);
    for (const QString &href : hrefs) {
        if (href.startsWith('#'))
            QVERIFY2(names.contains(href.mid(1)), qPrintable(href));
        else
            QCOMPARE(QUrl(href).scheme(), "https");
    }
}

// The picture of the year chart stands under its heading: on screen, as many
// pixels in the ○ colour of the bars as the picture has, and the page needs no
// sideways scrolling for it.
void TestHelp::yearChartPictureInItsSection()
{
    QVERIFY(open());
    QVERIFY(openWithF1());
    const QImage picture(":/help/yearchart.png");
    QVERIFY(picture.width() > 500 && picture.height() > 300);
    QCOMPARE(m_browser->document()->resource(QTextDocument::ImageResource, QUrl("yearchart.png")).value<QImage>(), picture);
    auto maruPixels = [](const QImage &image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == QColor(0x40, 0x80, 0x80);
        return n;
    };
    clickLink("#chart");
    QTRY_COMPARE(m_browser->source().fragment(), "chart");
    QVERIFY(maruPixels(picture) > 1000);
    QCOMPARE(maruPixels(m_browser->viewport()->grab().toImage()), maruPixels(picture));
    savePicture(helpWindow(), "help-yearchart");
    // The page is no wider than the window: nothing to scroll sideways.
    QVERIFY2(m_browser->document()->idealWidth() <= m_browser->viewport()->width(),
             qPrintable(QString::number(m_browser->document()->idealWidth())));
}

void TestHelp::backForwardAndHome()
{
    QVERIFY(open());
    QVERIFY(openWithF1());
    auto *back = helpWindow()->findChild<QToolButton *>("btnback");
    auto *forward = helpWindow()->findChild<QToolButton *>("btnforward");
    auto *home = helpWindow()->findChild<QToolButton *>("btnhome");
    QCOMPARE(back->text(), "戻る");
    QVERIFY(!back->isEnabled());
    QScrollBar *bar = m_browser->verticalScrollBar();
    QCOMPARE(bar->value(), 0);

    // The first entry of the contents: seen without scrolling, however long they grow.
    clickLink("#purpose");
    QTRY_VERIFY(bar->value() > 0);
    const int atPurpose = bar->value();
    QVERIFY(back->isEnabled());
    click(back);
    QTRY_COMPARE(bar->value(), 0);
    QVERIFY(forward->isEnabled());
    click(forward);
    QTRY_COMPARE(bar->value(), atPurpose);

    // "▲ 目次へ" under a section, and the home button, lead back to the contents:
    // the title at the top, below the page's margin at most.
    clickLink("#top");
    QTRY_VERIFY(bar->value() <= m_browser->document()->documentMargin());
    clickLink("#files");
    QTRY_VERIFY(bar->value() > 0);
    const int atFiles = bar->value();
    click(home);
    QTRY_VERIFY(bar->value() <= m_browser->document()->documentMargin());
    // The contents are a place like any other: back returns to the section.
    QVERIFY(back->isEnabled());
    click(back);
    QTRY_COMPARE(bar->value(), atFiles);

    // Read down to a place by scrolling, then the contents: back returns there.
    click(home);
    QTRY_VERIFY(bar->value() <= m_browser->document()->documentMargin());
    bar->setValue(bar->maximum() / 2);
    const int reading = bar->value();
    click(home);
    QTRY_VERIFY(bar->value() <= m_browser->document()->documentMargin());
    QVERIFY(back->isEnabled());
    click(back);
    QTRY_COMPARE(bar->value(), reading);
}

void TestHelp::homePageOpensInTheBrowser()
{
    QVERIFY(open());
    QVERIFY(openWithF1());
    const QString homePage = QString::fromLatin1(about::kHomePage);
    clickLink(homePage);
    QTRY_COMPARE(m_catcher.opened, QList<QUrl>{QUrl(homePage)});
    QCOMPARE(m_browser->source(), THelpWindow::HomePage());   // the help stays where it was
}

void TestHelp::keepsItsPlace()
{
    QVERIFY(open());
    THelpWindow *help = openWithF1();
    QVERIFY(help);
    help->move(121, 23);
    help->resize(500, 420);
    QTest::keyClick(help->windowHandle(), Qt::Key_Escape);
    QTRY_VERIFY(!helpWindow());

    // In the settings file, in a section of its own.
    const IniFile ini = IniFile::load(iniPath());
    QCOMPARE(ini.readInteger("help", "left", -1), 121);
    QCOMPARE(ini.readInteger("help", "top", -1), 23);
    QCOMPARE(ini.readInteger("help", "width", -1), 500);
    QCOMPARE(ini.readInteger("help", "height", -1), 420);

    help = openWithF1();
    QVERIFY(help);
    QCOMPARE(help->pos(), QPoint(121, 23));
    QCOMPARE(help->size(), QSize(500, 420));
    help->close();

    // At the next start the settings file decides.
    QVERIFY(window()->close());
    IniFile edited = IniFile::load(iniPath());
    for (auto [key, value] : {std::pair{"top", 40}, {"left", 50}, {"width", 610}, {"height", 470}})
        edited.writeInteger("help", key, value);
    edited.save(iniPath());
    QVERIFY(open());
    help = openWithF1();
    QVERIFY(help);
    QCOMPARE(help->pos(), QPoint(50, 40));
    QCOMPARE(help->size(), QSize(610, 470));
}

void TestHelp::keepsItsPlaceForTheRunWhenSettingsCannotBeWritten()
{
    // A folder where the settings file should be: it can be neither read nor written.
    QVERIFY(QDir().mkdir(iniPath()));
    QVERIFY(open());
    messages().boxes.clear();   // the main window's own report of the settings file

    THelpWindow *help = openWithF1();
    QVERIFY(help);
    help->move(77, 66);
    help->resize(480, 400);
    help->close();
    QTRY_VERIFY(!helpWindow());
    help = openWithF1();
    QVERIFY(help);
    QCOMPARE(help->pos(), QPoint(77, 66));
    QCOMPARE(help->size(), QSize(480, 400));
    QVERIFY(messages().boxes.isEmpty());
    QVERIFY(QFileInfo(iniPath()).isDir());
    help->close();
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
