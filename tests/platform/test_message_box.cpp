#include <QtTest>

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTimer>

#include "platform/MessageBox.h"

using namespace quelvane;

namespace {

QMessageBox *ShownMessageBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

} // namespace

class TestMessageBox : public QObject {
    Q_OBJECT

private slots:
    // The real box, as the program shows it: wide enough that a title bar shows its whole
    // title in a bold font a quarter larger than the text's, beside the close box.
    void boxIsWideEnoughForItsWholeTitle_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("icon");
        QTest::addRow("short text, exclamation") << "No records in data file." << int(MessageIcon::Exclamation);
        QTest::addRow("short text, no icon") << "OK?" << int(MessageIcon::None);
    }
    void boxIsWideEnoughForItsWholeTitle()
    {
        QFETCH(QString, text);
        QFETCH(int, icon);
        int width = 0;
        QString title;
        QTimer::singleShot(0, this, [&] {
            if (QMessageBox *box = ShownMessageBox()) {
                QTRY_VERIFY(box->isVisible());
                width = box->width();
                title = box->windowTitle();
                box->accept();
            }
        });
        // Never left blocked in the box's loop.
        QTimer::singleShot(10000, this, [] {
            if (QMessageBox *box = ShownMessageBox())
                box->reject();
        });
        ShowMessage(text, ProgramTitle(), MessageIcon(icon));
        QCOMPARE(title, ProgramTitle());
        QFont titleFont = QApplication::font();
        titleFont.setBold(true);
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
        const QFontMetrics metrics(titleFont);
        // The close box and the margins of a title bar take at least three text heights.
        const int needed = metrics.horizontalAdvance(ProgramTitle()) + 3 * metrics.height();
        QVERIFY2(width >= needed, qPrintable(QString("%1 wide, %2 needed").arg(width).arg(needed)));
    }
};

QTEST_MAIN(TestMessageBox)
#include "test_message_box.moc"
