// One program per user session, on a private session bus: this test is the running program,
// the real quelvane binary is the second start, and raw calls stand for the desktop.
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
    QList<QString> handed_; // each request's file, in order; "" for none
    std::unique_ptr<ApplicationService> service_;

    QDBusConnection Connect(const QString &name) { return QDBusConnection::connectToBus(address_, name); }

    // Runs the real program as a second start in `folder` and returns its exit status.
    int SecondStart(const QStringList &args, const QString &folder, QByteArray *err)
    {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", dir_.path()); // a private one, as a session has
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(folder);
        program.start(QUELVANE_BIN, args);
        // This process answers the call, so its event loop runs while the program waits.
        QSignalSpy finished(&program, &QProcess::finished);
        if (!finished.wait(30000)) {
            program.kill();
            program.waitForFinished();
            return -1;
        }
        *err = program.readAllStandardError();
        return program.exitCode();
    }

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
            [this](const QString &file, const QVariantMap &) { handed_ << file; });
        QString error;
        QCOMPARE(ClaimSession(Connect("running"), *service_, QString(), &error), SessionRole::First);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    // A second start hands its wish over and ends at once; the running program gets it once
    // the call has been answered.
    void aSecondStartHandsOver_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("handed"); // FOLDER: the second start's folder
        QTest::addRow("a relative file: its full path") << QStringList{"hero.tbl"} << "FOLDER/hero.tbl";
        QTest::addRow("a full path, as given") << QStringList{"/srv/team/hero.tbl"} << "/srv/team/hero.tbl";
        QTest::addRow("a name with spaces and a percent sign")
            << QStringList{"Big Al 100%.tbl"} << "FOLDER/Big Al 100%.tbl";
        QTest::addRow("no file: only raised") << QStringList{} << "";
    }
    void aSecondStartHandsOver()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, handed);
        handed_.clear();
        QByteArray err;
        QCOMPARE(SecondStart(args, dir_.path(), &err), 0);
        QVERIFY2(err.isEmpty(), err.constData());
        QTRY_COMPARE(handed_, QList<QString>{handed.replace("FOLDER", dir_.path())});
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

    void aDesktopOpenIsTakenAsAFile()
    {
        handed_.clear();
        QCOMPARE(Call("Open", {QStringList{"file:///srv/Big%20Al.tbl"}, QVariant::fromValue(QVariantMap())}), QString());
        QTRY_COMPARE(handed_, QList<QString>{"/srv/Big Al.tbl"});
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

    void withoutABusEachStartIsAlone()
    {
        ApplicationService alone([](const QString &, const QVariantMap &) {});
        QString error;
        const QDBusConnection none = QDBusConnection::connectToBus("unix:path=" + dir_.filePath("no-bus"), "none");
        QCOMPARE(ClaimSession(none, alone, QString(), &error), SessionRole::Alone);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QDBusConnection::disconnectFromBus("none");
    }
};

QTEST_MAIN(TestSessionService)
#include "test_session_service.moc"
