// One program per user session, on a private session bus: this test is the running program and
// raw calls stand for the desktop. (A real second start: tests/e2e/second_start.sh.)
#include <QtTest>

#include <QDBusConnection>
#include <QDialog>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTemporaryDir>

#include "app/SessionService.h"

using namespace quelvane;

class TestSessionService : public QObject {
    Q_OBJECT

    QProcess bus_;
    QString address_;
    QTemporaryDir dir_;
    QList<QByteArray> handed_; // each request's file in the file system's bytes, in order; "" for none
    std::unique_ptr<ApplicationService> service_;

    QDBusConnection Connect(const QString &name) { return QDBusConnection::connectToBus(address_, name); }

    // Calls `method` on the running program as a desktop would; the error name, or "".
    QString Call(const QString &method, const QVariantList &arguments)
    {
        QDBusConnection desktop = Connect("desktop");
        QDBusMessage call = QDBusMessage::createMethodCall(kDesktopId, kDesktopObjectPath,
                                                           "org.freedesktop.Application", method);
        call.setArguments(arguments);
        QDBusPendingCallWatcher watcher(desktop.asyncCall(call, 10000));
        QSignalSpy done(&watcher, &QDBusPendingCallWatcher::finished);
        if (!done.wait(10000))
            return "no answer";
        return watcher.isError() ? watcher.error().name() : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            QSKIP("dbus-daemon (dbus) is not installed");
        bus_.start("dbus-daemon", {"--session", "--nofork", "--nosyslog", "--print-address=1",
                                   "--address=unix:path=" + dir_.filePath("bus")});
        QVERIFY(bus_.waitForReadyRead(10000));
        address_ = QString::fromUtf8(bus_.readLine()).trimmed();
        QVERIFY(!address_.isEmpty());
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus("running");
        QDBusConnection::disconnectFromBus("desktop");
        service_.reset();
        bus_.terminate();
        bus_.waitForFinished();
    }

    void theFirstStartOwnsTheName()
    {
        service_ = std::make_unique<ApplicationService>(
            [this](const QByteArray &file, const QVariantMap &) { handed_ << file; });
        QString error;
        QCOMPARE(ClaimSession(Connect("running"), *service_, QByteArray(), &error), SessionRole::First);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    // What a desktop may send that the program cannot take is refused, not half done.
    void refusedRequests_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("error");
        const QVariant none = QVariant::fromValue(QVariantMap());
        QTest::addRow("a file that is not local") << "Open"
            << QVariantList{QStringList{"https://example.org/hero.tbl"}, none} << "org.freedesktop.DBus.Error.InvalidArgs";
        QTest::addRow("two files for one character") << "Open"
            << QVariantList{QStringList{"file:///a.tbl", "file:///b.tbl"}, none} << "org.freedesktop.DBus.Error.InvalidArgs";
        QTest::addRow("an action: the program has none") << "ActivateAction"
            << QVariantList{"quit", QVariantList{}, none} << "org.freedesktop.DBus.Error.NotSupported";
    }
    void refusedRequests()
    {
        QFETCH(QString, method);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, error);
        handed_.clear();
        QCOMPARE(Call(method, arguments), error);
        QCoreApplication::processEvents();
        QVERIFY(handed_.isEmpty());
    }

    // A desktop's URI is taken byte for byte: a name that is not UTF-8 reaches the load intact.
    void aDesktopOpenIsTakenAsAFile_data()
    {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QByteArray>("file");
        QTest::addRow("a space") << "file:///srv/Big%20Al.tbl" << QByteArray("/srv/Big Al.tbl");
        QTest::addRow("a Latin-1 byte, not UTF-8") << "file:///srv/caf%E9.tbl" << QByteArray("/srv/caf\xe9.tbl");
        QTest::addRow("UTF-8") << "file:///srv/caf%C3%A9.tbl" << QByteArray("/srv/caf\xc3\xa9.tbl");
    }
    void aDesktopOpenIsTakenAsAFile()
    {
        QFETCH(QString, uri);
        QFETCH(QByteArray, file);
        handed_.clear();
        QCOMPARE(Call("Open", {QStringList{uri}, QVariant::fromValue(QVariantMap())}), QString());
        QTRY_COMPARE(handed_, QList<QByteArray>{file});
    }

    // A file handed over while a dialog is open waits until it has been answered.
    void aFileWaitsForTheOpenDialog()
    {
        int ran = 0;
        WhenNoDialogIsOpen([&ran] { ++ran; });
        QCOMPARE(ran, 1);
        QDialog dialog;
        dialog.setModal(true);
        dialog.show();
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        WhenNoDialogIsOpen([&ran] { ++ran; });
        QCoreApplication::processEvents();
        QCOMPARE(ran, 1);
        dialog.accept();
        QTRY_COMPARE(ran, 2);
    }
};

QTEST_MAIN(TestSessionService)
#include "test_session_service.moc"
