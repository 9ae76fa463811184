#pragma once

// Helpers for driving the real windows offscreen in a temporary program folder.

#include "components/DrawGrid.h"
#include "components/MessageBoxes.h"
#include "components/SysCtrls.h"

#include "TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace hibi::test {

// Each test process keeps its main windows' single-instance lock to itself, apart
// from a running program and from tests running beside it.
inline const bool kOwnInstanceScope = [] {
    TSingleInstance::setScope(QStringLiteral("test-%1").arg(QCoreApplication::applicationPid()));
    return true;
}();

// Every message box shown while it lives, answered with `answer` when it asks.
struct MessageRecorder
{
    QList<MessageBoxes::Box> boxes;
    bool answer = true;

    MessageRecorder()
    {
        MessageBoxes::setHandler([this](const MessageBoxes::Box &box) {
            boxes << box;
            return answer;
        });
    }
    ~MessageRecorder() { MessageBoxes::setHandler(nullptr); }
    QStringList texts() const
    {
        QStringList t;
        for (const auto &b : boxes)
            t << b.text;
        return t;
    }
};

// Operates the next modal dialog from inside its event loop.
inline void whenModal(std::function<void(QWidget *dialog)> operate)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, operate] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            operate(dialog);
        }
    });
    timer->start();
}

inline QPoint cellCentre(const DrawGrid *grid, int col, int row)
{
    return grid->cellRect(col, row).toRect().center();
}

inline void pressCell(DrawGrid *grid, int col, int row, Qt::MouseButton button)
{
    QTest::mousePress(grid->viewport(), button, Qt::NoModifier, cellCentre(grid, col, row));
}

inline void releaseCell(DrawGrid *grid, int col, int row, Qt::MouseButton button)
{
    QTest::mouseRelease(grid->viewport(), button, Qt::NoModifier, cellCentre(grid, col, row));
}

} // namespace hibi::test
