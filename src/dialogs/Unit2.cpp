#include "dialogs/Unit2.h"

#include "components/Look.h"
#include "components/MessageBoxes.h"
#include "settings/Settings.h"
#include "storage/Catalogue.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace hibi {

TForm2::TForm2(const QString &programFolder, const QStringList &listed, const QString &renaming, QWidget *parent)
    : QDialog(parent), m_programFolder(programFolder), m_listed(listed), m_renaming(renaming)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("データ名の入力"));
    setFixedSize(317, 125);
    setFont(PixelFont(12));

    Label1 = new QLabel(QStringLiteral("データの名前を入力してください"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(PixelFont(16));
    Label1->move(40, 8);
    Label1->adjustSize();

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(48, 40, 225, 20);
    Edit1->installEventFilter(this);

    btnok = new QPushButton(QStringLiteral("OK"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setGeometry(64, 80, 75, 25);
    btnok->setAutoDefault(false);
    btncancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btncancel->setObjectName(QStringLiteral("btncancel"));
    btncancel->setGeometry(176, 80, 75, 25);
    btncancel->setAutoDefault(false);
    setTabOrder(Edit1, btnok);
    setTabOrder(btnok, btncancel);

    connect(btnok, &QPushButton::clicked, this, &TForm2::btnokClick);
    connect(btncancel, &QPushButton::clicked, this, &TForm2::btncancelClick);
}

void TForm2::btnokClick()
{
    const QString t = WithWindowsCodePoints(Edit1->text());
    if (const auto problem = CalendarNameProblem(t)) {
        MessageBoxes::information(this, *problem);
        return;
    }
    if (t.isEmpty()) {
        accept();
        return;
    }
    if (CalendarNameTaken(t, m_listed, m_programFolder, m_renaming)) {
        MessageBoxes::information(this, t + QStringLiteral("は、同名の物が既にあります"));
        return;
    }
    DataName = t;
    accept();
}

void TForm2::btncancelClick()
{
    reject();
}

// Enter in the edit box is the OK button.
bool TForm2::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            btnokClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace hibi
