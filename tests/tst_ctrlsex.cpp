#include "components/CtrlsEx.h"
#include "components/StandardGlyph.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <QToolBar>
#include <QToolButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace hibi;

class TestCtrlsEx : public QObject
{
    Q_OBJECT

private slots:
    void grouping_data();
    void grouping();
    void typingRegroupsAndKeepsCaret();
    void textReadsAndWrites();
    void enterReachesDefaultButton();
    void frameRectangle();
    void captionWithoutHandler();
    void modalResult();
    void standardGlyphs_data();
    void standardGlyphs();
    void programStyleGlyphs_data();
    void programStyleGlyphs();
    void programPictures();
};

void TestCtrlsEx::grouping_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("3") << "123" << "123";
    QTest::newRow("4: one after the first") << "1234" << "1,234";
    QTest::newRow("7: after the first and fourth") << "1234567" << "1,234,567";
    QTest::newRow("sign counts as a character") << "-123" << "-,123";
    QTest::newRow("empty") << "" << "";
}

void TestCtrlsEx::grouping()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(GroupThousands(in), out);
}

void TestCtrlsEx::typingRegroupsAndKeepsCaret()
{
    TEditEx edit;
    edit.setThousands(true);
    edit.show();
    QTest::keyClicks(&edit, "123456");
    QCOMPARE(edit.QLineEdit::text(), QStringLiteral("123,456"));
    QTest::keyClick(&edit, Qt::Key_7);   // the seventh digit
    QCOMPARE(edit.QLineEdit::text(), QStringLiteral("1,234,567"));
    QCOMPARE(edit.cursorPosition(), 9);
    QCOMPARE(edit.Text(), QStringLiteral("1234567"));
    // Typing in the middle keeps the caret's distance from the end.
    edit.setCursorPosition(3);   // after "1,2", six characters from the end
    QTest::keyClick(&edit, Qt::Key_9);
    QCOMPARE(edit.QLineEdit::text(), QStringLiteral("12,934,567"));
    QCOMPARE(edit.QLineEdit::text().size() - edit.cursorPosition(), 6);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.QLineEdit::text(), QStringLiteral("1,234,567"));
}

void TestCtrlsEx::textReadsAndWrites()
{
    TEditEx edit;
    edit.setThousands(true);
    edit.setText("1970");
    QCOMPARE(edit.QLineEdit::text(), QStringLiteral("1,970"));
    QCOMPARE(edit.Text(), QStringLiteral("1970"));
    edit.setText("1,970");   // separators already there are not taken out first
    QCOMPARE(edit.QLineEdit::text(), QStringLiteral("1,,970"));
    edit.setThousands(false);
    edit.setText("1,970");
    QCOMPARE(edit.QLineEdit::text(), QStringLiteral("1,970"));
    QCOMPARE(edit.Text(), QStringLiteral("1,970"));
    // Turning grouping on regroups at once.
    edit.setText("12345");
    edit.setThousands(true);
    QCOMPARE(edit.QLineEdit::text(), QStringLiteral("12,345"));
}

void TestCtrlsEx::enterReachesDefaultButton()
{
    QDialog dialog;
    auto *edit = new TEditEx(&dialog);
    edit->setText("abc");
    auto *ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    int clicks = 0;
    connect(ok, &QPushButton::clicked, [&] { ++clicks; });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(edit->selectedText(), QStringLiteral("abc"));   // all selected when it first shows
    edit->setFocus();
    edit->setCursorPosition(3);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(clicks, 1);
    QCOMPARE(edit->QLineEdit::text(), QStringLiteral("abc"));
}

void TestCtrlsEx::frameRectangle()
{
    TButtonEx button;
    button.setSytle(bsOwnerDrawWithFrame);
    button.resize(57, 25);
    CellRect seen;
    bool pressed = false;
    button.setOnDrawButton([&](TButtonEx *, QPainter &, const CellRect &rect, ButtonDrawState state) {
        seen = rect;
        pressed = state.selected;
    });
    button.grab();
    QCOMPARE(seen, (CellRect{4, 4, 53, 21}));
    QVERIFY(!pressed);
    button.setDown(true);
    button.grab();
    QCOMPARE(seen, (CellRect{5, 5, 53, 21}));
    QVERIFY(pressed);
}

void TestCtrlsEx::captionWithoutHandler()
{
    TButtonEx button;
    button.setSytle(bsOwnerDrawWithFrame);
    button.resize(57, 25);
    QPalette pal = button.palette();
    pal.setColor(QPalette::ButtonText, Qt::red);
    button.setPalette(pal);
    const QImage blank = button.grab().toImage();
    button.setText("AB");
    const QImage image = button.grab().toImage();
    // The caption is drawn, centred: red pixels around the middle, none at the edges.
    int left = 57;
    int right = -1;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 57; ++x)
            if (image.pixelColor(x, y) != blank.pixelColor(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    QVERIFY(right > left);
    QVERIFY(qAbs((left + right) / 2 - 28) <= 2);
}

void TestCtrlsEx::modalResult()
{
    TButtonEx button;
    button.setText("keep");
    button.setModalResult(2);
    QCOMPARE(button.text(), QStringLiteral("ｷｬﾝｾﾙ"));
    button.setModalResult(6);
    QCOMPARE(button.text(), QStringLiteral("はい(&Y)"));
    button.setText("keep");
    button.setModalResult(0);
    QCOMPARE(button.text(), QStringLiteral("keep"));
    button.setModalResult(9);
    QCOMPARE(button.text(), QStringLiteral("keep"));

    QDialog dialog;
    auto *yes = new TButtonEx(&dialog);
    yes->setModalResult(6);
    QTimer::singleShot(0, yes, [yes] { QTest::mouseClick(yes, Qt::LeftButton); });
    QCOMPARE(dialog.exec(), 6);
}

namespace {

// A glyph as a user sees one: drawn over a good part of its square, and not
// over all of it.
bool looksDrawn(const QImage &image)
{
    int opaque = 0;
    int clear = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            opaque += alpha > 128;
            clear += alpha == 0;
        }
    const int tenth = image.width() * image.height() / 10;
    return opaque >= tenth && clear >= tenth;
}

// Whether `shot` shows `glyph` somewhere, every fully opaque pixel of it as it is.
bool showsGlyph(const QImage &shot, const QImage &glyph)
{
    const QImage s = shot.convertToFormat(QImage::Format_ARGB32);
    const QImage g = glyph.convertToFormat(QImage::Format_ARGB32);
    for (int top = 0; top + g.height() <= s.height(); ++top)
        for (int left = 0; left + g.width() <= s.width(); ++left) {
            bool all = true;
            for (int y = 0; y < g.height() && all; ++y)
                for (int x = 0; x < g.width() && all; ++x)
                    if (qAlpha(g.pixel(x, y)) == 255)
                        all = g.pixel(x, y) == s.pixel(left + x, top + y);
            if (all)
                return true;
        }
    return false;
}

// The pixels alone, whatever the format and the density they were made for.
QImage pixelsOf(const QImage &image)
{
    QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    pixels.setDevicePixelRatio(1);
    return pixels;
}

const QList<QStyle::StandardPixmap> kOwnGlyphs = {QStyle::SP_DialogCloseButton, QStyle::SP_DialogOkButton,
                                                  QStyle::SP_DialogCancelButton};

} // namespace

// The close, OK and cancel glyphs are the program's own pictures, whatever the
// desktop's icon theme holds: drawn at every size a button asks, at the screen's
// density, each unlike the others, and shown on a button as they are.
void TestCtrlsEx::standardGlyphs_data()
{
    QTest::addColumn<int>("glyph");
    QTest::addColumn<QString>("picture");
    QTest::newRow("close") << int(QStyle::SP_DialogCloseButton) << "close";
    QTest::newRow("OK") << int(QStyle::SP_DialogOkButton) << "ok";
    QTest::newRow("cancel") << int(QStyle::SP_DialogCancelButton) << "cancel";
}

void TestCtrlsEx::standardGlyphs()
{
    QFETCH(int, glyph);
    QFETCH(QString, picture);
    const auto which = QStyle::StandardPixmap(glyph);
    const QIcon ours = StandardGlyph(which);
    QCOMPARE(StandardGlyph(which).cacheKey(), ours.cacheKey());   // made once
    const qreal ratio = qApp->devicePixelRatio();
    for (int size : {16, 24, 32}) {
        const QPixmap pixmap = ours.pixmap(size);
        QCOMPARE(pixmap.devicePixelRatio(), ratio);
        QCOMPARE(pixmap.size(), QSize(size, size) * ratio);
        QVERIFY(looksDrawn(pixmap.toImage()));
        // At a size there is a picture for, the picture itself.
        const QString path = QStringLiteral(":/glyphs/%1-%2.png").arg(picture).arg(qRound(size * ratio));
        if (QFile::exists(path))
            QCOMPARE(pixelsOf(pixmap.toImage()), pixelsOf(ReadPicture(path, "png")));
        for (const QStyle::StandardPixmap other : kOwnGlyphs)
            if (other != which)
                QVERIFY(pixelsOf(pixmap.toImage()) != pixelsOf(StandardGlyph(other).pixmap(size).toImage()));
    }

    QPushButton button(ours, QStringLiteral("OK"));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    const QImage glyphShown = ours.pixmap(button.iconSize()).toImage();
    QVERIFY(showsGlyph(button.grab().toImage(), glyphShown));
    button.setIcon(QIcon());
    QVERIFY(!showsGlyph(button.grab().toImage(), glyphShown));
}

// The program's style hands out its own close, OK and cancel glyphs and a tool
// bar's overflow arrow that is decoded when first drawn; the arrow and any other
// glyph must come out as the style it wraps draws them, and every one drawn.
void TestCtrlsEx::programStyleGlyphs_data()
{
    QTest::addColumn<int>("glyph");
    QTest::addColumn<bool>("own");
    QTest::newRow("overflow arrow, across") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << false;
    QTest::newRow("overflow arrow, down") << int(QStyle::SP_ToolBarVerticalExtensionButton) << false;
    QTest::newRow("close") << int(QStyle::SP_DialogCloseButton) << true;
    QTest::newRow("OK") << int(QStyle::SP_DialogOkButton) << true;
    QTest::newRow("cancel") << int(QStyle::SP_DialogCancelButton) << true;
    QTest::newRow("any other") << int(QStyle::SP_ArrowUp) << false;
}

void TestCtrlsEx::programStyleGlyphs()
{
    QFETCH(int, glyph);
    QFETCH(bool, own);
    const auto which = QStyle::StandardPixmap(glyph);
    const std::unique_ptr<QStyle> ours(ProgramStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    const std::unique_ptr<QStyle> plain(QStyleFactory::create(QStringLiteral("Fusion")));
    const QIcon icon = ours->standardIcon(which);
    QVERIFY(!icon.isNull());
    const QIcon expectedIcon = own ? StandardGlyph(which) : plain->standardIcon(which);
    for (int size : {8, 16, 32}) {
        const QPixmap pixmap = icon.pixmap(size);
        QVERIFY(!pixmap.isNull());
        const QPixmap expected = expectedIcon.pixmap(size);
        QCOMPARE(pixmap.devicePixelRatio(), expected.devicePixelRatio());
        QCOMPARE(pixmap.toImage(), expected.toImage());
        QCOMPARE(icon.actualSize(QSize(size, size)), expectedIcon.actualSize(QSize(size, size)));
        QVERIFY(looksDrawn(pixmap.toImage()));
    }
    // A tool bar made under the program's style and squeezed shows the arrow.
    if (which == QStyle::SP_ToolBarHorizontalExtensionButton) {
        QApplication::setStyle(ProgramStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
        QToolBar bar;
        for (int i = 0; i < 6; ++i)
            bar.addAction(QStringLiteral("項目%1").arg(i));
        bar.resize(60, 30);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        auto *arrow = bar.findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
        QVERIFY(arrow);
        QTRY_VERIFY(arrow->isVisible());
        QCOMPARE(arrow->icon().pixmap(16).toImage(), plain->standardIcon(which).pixmap(16).toImage());
    }
}

// The tool pictures are read as the format they are, without the image reader
// looking for it among its plugins.
void TestCtrlsEx::programPictures()
{
    for (const char *name : {"thismonth", "jump", "countall", "countpart", "bulkinput", "CURhani"}) {
        const QImage picture = ReadPicture(QStringLiteral(":/images/%1.xpm").arg(QLatin1String(name)), "xpm");
        QVERIFY2(!picture.isNull(), name);
        QVERIFY2(picture.width() >= 16 && picture.height() >= 16, name);
    }
    QCOMPARE(ReadPicture(QStringLiteral(":/icons/hibisi-32.png"), "png").size(), QSize(32, 32));
    // Named wrongly, a picture is not read at all.
    QVERIFY(ReadPicture(QStringLiteral(":/images/jump.xpm"), "png").isNull());
}

QTEST_MAIN(TestCtrlsEx)
#include "tst_ctrlsex.moc"
