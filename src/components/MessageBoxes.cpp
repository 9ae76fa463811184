#include "components/MessageBoxes.h"

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

} // namespace

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
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

void MessageBoxes::error(QWidget *parent, const QString &text)
{
    if (handler()) {
        handler()({Kind::Error, kTitle, text});
        return;
    }
    QMessageBox box(QMessageBox::Critical, kTitle, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

bool MessageBoxes::warningYesNo(QWidget *parent, const QString &title, const QString &text)
{
    if (handler())
        return handler()({Kind::WarningYesNo, title, text});
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    // Enter alone must not delete or give up anything.
    box.setDefaultButton(box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole));
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace hibi
