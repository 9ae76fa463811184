#include "app/NoteEditor.h"

#include "components/Look.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace hibi {

TNoteEditor::TNoteEditor(const QString &day, const QString &note, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("NoteEditor"));
    setWindowTitle(QStringLiteral("メモ - %1").arg(day));
    setFont(PixelFont(12));

    lblday = new QLabel(QStringLiteral("%1のメモ(&M):").arg(day), this);
    lblday->setObjectName(QStringLiteral("lblday"));
    memnote = new QPlainTextEdit(note, this);
    memnote->setObjectName(QStringLiteral("memnote"));
    memnote->setAccessibleName(QStringLiteral("%1のメモ").arg(day));
    memnote->setTabChangesFocus(true);
    memnote->setFont(PixelFont(16));
    lblday->setBuddy(memnote);

    btnok = new QPushButton(QStringLiteral("OK"), this);
    btnok->setObjectName(QStringLiteral("btnok"));
    btnok->setToolTip(QStringLiteral("Ctrl+Enter"));
    btnok->setAutoDefault(false);
    connect(btnok, &QPushButton::clicked, this, &QDialog::accept);
    btnclear = new QPushButton(QStringLiteral("メモを消す(&D)"), this);
    btnclear->setObjectName(QStringLiteral("btnclear"));
    btnclear->setAutoDefault(false);
    btnclear->setEnabled(!note.isEmpty());
    connect(btnclear, &QPushButton::clicked, this, [this] {
        memnote->clear();
        accept();
    });
    btncancel = new QPushButton(QStringLiteral("キャンセル"), this);
    btncancel->setObjectName(QStringLiteral("btncancel"));
    btncancel->setAutoDefault(false);
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnclear);
    buttons->addStretch();
    buttons->addWidget(btnok);
    buttons->addWidget(btncancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblday);
    layout->addWidget(memnote);
    layout->addLayout(buttons);
    resize(340, 220);
    memnote->moveCursor(QTextCursor::End);
    memnote->setFocus();
}

QString TNoteEditor::note() const
{
    // Blank lines around the text are no part of it.
    return memnote->toPlainText().trimmed();
}

} // namespace hibi
