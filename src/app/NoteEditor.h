#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace hibi {

// The note of one day: a few lines of any text. OK keeps what is typed (an
// empty text takes the note away), "メモを消す" takes it away at once, Cancel
// changes nothing. Ctrl+Enter is OK, as Enter starts a new line.
class TNoteEditor : public QDialog
{
    Q_OBJECT

public:
    TNoteEditor(const QString &day, const QString &note, QWidget *parent = nullptr);

    QString note() const;

private:
    QLabel *lblday;
    QPlainTextEdit *memnote;
    QPushButton *btnok;
    QPushButton *btnclear;
    QPushButton *btncancel;
};

} // namespace hibi
