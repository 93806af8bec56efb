// Walks the focus with Tab as a keyboard user does.
#pragma once

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

// The names of the widgets that hold the focus, from the current one on, over `steps`
// presses of Tab.
inline QStringList TabRound(qsizetype steps)
{
    QStringList visited;
    for (qsizetype i = 0; i < steps; ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return visited;
}
