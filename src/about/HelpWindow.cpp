#include "about/HelpWindow.h"

#include "ProgramInfo.h"
#include "about/AboutInfo.h"
#include "components/Look.h"
#include "components/StandardGlyph.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace hibi {

namespace {

// The document with the words that depend on this copy of the program filled in.
class HelpBrowser : public QTextBrowser
{
public:
    HelpBrowser(const QString &programFolder, QWidget *parent) : QTextBrowser(parent), m_folder(programFolder) {}

    QVariant loadResource(int type, const QUrl &name) override
    {
        QVariant resource = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::HtmlResource || name.scheme() != THelpWindow::HomePage().scheme()
            || name.path() != THelpWindow::HomePage().path())
            return resource;
        QString html = QString::fromUtf8(resource.toByteArray());
        html.replace(QLatin1String("@FOLDER@"), QDir::toNativeSeparators(m_folder).toHtmlEscaped());
        html.replace(QLatin1String("@VERSION@"), QLatin1String(program::kVersion));
        html.replace(QLatin1String("@HOMEPAGE@"), QLatin1String(about::kHomePage));
        return html;
    }

private:
    QString m_folder;
};

} // namespace

const QUrl &THelpWindow::HomePage()
{
    static const QUrl home(QStringLiteral("qrc:/help/hibisi.html"));
    return home;
}

THelpWindow::THelpWindow(HelpHost *host, const QString &programFolder, QWidget *parent)
    : QWidget(parent, Qt::Window), m_host(host)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ヒビシルシ ヘルプ"));

    auto tool = [this](const char *name, const QString &text, QStyle::StandardPixmap icon) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setIcon(StandardGlyph(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        return b;
    };
    btnhome = tool("btnhome", QStringLiteral("目次"), QStyle::SP_DirHomeIcon);
    btnback = tool("btnback", QStringLiteral("戻る"), QStyle::SP_ArrowBack);
    btnforward = tool("btnforward", QStringLiteral("進む"), QStyle::SP_ArrowForward);
    btnback->setToolTip(QStringLiteral("Alt+←"));
    btnforward->setToolTip(QStringLiteral("Alt+→"));

    HelpText = new HelpBrowser(programFolder, this);
    HelpText->setObjectName(QStringLiteral("HelpText"));
    HelpText->setAccessibleName(QStringLiteral("ヘルプの本文"));
    HelpText->setOpenExternalLinks(true);   // the home page opens in the web browser
    // A clicked link stays marked as the keyboard's place, and the history keeps
    // that mark with the place the link led to: "進む" would then scroll back to
    // the link. Unmark it once the view has moved.
    connect(HelpText, &QTextBrowser::sourceChanged, this, [this] {
        QScrollBar *bar = HelpText->verticalScrollBar();
        const int shown = bar->value();
        QTextCursor cursor = HelpText->textCursor();
        cursor.clearSelection();
        HelpText->setTextCursor(cursor);
        bar->setValue(shown);
    });
    HelpText->setSource(HomePage());
    btnback->setEnabled(false);
    btnforward->setEnabled(false);
    // The contents are a place in the history like any other, also when the
    // page was only scrolled: back returns to where the reader was. Qt keeps no
    // new place for the address shown already, so the contents go by two
    // addresses of the same top, taken in turn.
    connect(btnhome, &QToolButton::clicked, this, [this] {
        QUrl top = HomePage();
        top.setFragment(QStringLiteral("top"));
        HelpText->setSource(HelpText->source() == top ? HomePage() : top);
    });
    connect(btnback, &QToolButton::clicked, HelpText, &QTextBrowser::backward);
    connect(btnforward, &QToolButton::clicked, HelpText, &QTextBrowser::forward);
    connect(HelpText, &QTextBrowser::backwardAvailable, btnback, &QToolButton::setEnabled);
    connect(HelpText, &QTextBrowser::forwardAvailable, btnforward, &QToolButton::setEnabled);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 2, 4, 2);
    buttons->addWidget(btnhome);
    buttons->addWidget(btnback);
    buttons->addWidget(btnforward);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(buttons);
    layout->addWidget(HelpText);
    setFocusProxy(HelpText);

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    // Still open when the program ends: its place is kept all the same.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QWidget::close);

    // Where it was, on the screen, placed before it is first shown.
    m_placement = WindowPlacement(m_host->helpBounds(), QSize(200, 150), parent);
    m_placement.apply(this);
}

void THelpWindow::closeEvent(QCloseEvent *event)
{
    m_host->storeHelpBounds(m_placement.atClose(this));
    event->accept();
}

} // namespace hibi
