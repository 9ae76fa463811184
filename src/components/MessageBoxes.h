#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace hibi {

// The program's message boxes. Tests install a handler that answers them instead
// of a person, and sees every box that would have been shown.
class MessageBoxes
{
public:
    enum class Kind { Information, Error, WarningYesNo };
    struct Box
    {
        Kind kind;
        QString title;
        QString text;
    };
    // Returns the answer to a Yes/No box (true for Yes); ignored for the others.
    using Handler = std::function<bool(const Box &box)>;
    static void setHandler(Handler handler);

    // A plain box titled with the application's name, with an OK button.
    static void information(QWidget *parent, const QString &text);
    // A file or system error, titled with the application's name.
    static void error(QWidget *parent, const QString &text);
    // A warning with the buttons "はい(&Y)" and "いいえ(&N)", いいえ the default;
    // true for Yes.
    static bool warningYesNo(QWidget *parent, const QString &title, const QString &text);

    // Once the session ends (a logout, a termination signal) no box is shown any
    // more: the program must end without a person. A question gets the answer
    // that changes nothing: No.
    static void setSessionEnding(bool ending);
    static bool sessionEnding();
};

} // namespace hibi
