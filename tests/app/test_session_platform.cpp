// Which platform the program asks Qt for, from the variables a desktop session sets.
#include <QtTest>

#include "app/SessionPlatform.h"

using namespace quelvane;

namespace {

const char *const kVariables[] = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"};

// A null value stands for a variable that is not set at all.
void SetOrUnset(const char *name, const QByteArray &value)
{
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

} // namespace

class TestSessionPlatform : public QObject {
    Q_OBJECT

private slots:
    void init() { saved_ = Snapshot(); }
    void cleanup()
    {
        for (size_t i = 0; i < std::size(kVariables); ++i)
            SetOrUnset(kVariables[i], saved_[i]);
    }

    void choice_data()
    {
        QTest::addColumn<QByteArray>("qpaPlatform");
        QTest::addColumn<QByteArray>("waylandDisplay");
        QTest::addColumn<QByteArray>("sessionType");
        QTest::addColumn<QByteArray>("chosen"); // null: QT_QPA_PLATFORM left as it was
        const QByteArray unset;

        QTest::addRow("no session hints: Qt's own default") << unset << unset << unset << unset;
        QTest::addRow("X11 session") << unset << unset << QByteArray("x11") << unset;
        QTest::addRow("GNOME Wayland session")
            << unset << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray("xcb;wayland");
        QTest::addRow("only WAYLAND_DISPLAY, as from a nested compositor")
            << unset << QByteArray("wayland-1") << unset << QByteArray("xcb;wayland");
        QTest::addRow("only the session type, as over ssh from the session")
            << unset << unset << QByteArray("wayland") << QByteArray("xcb;wayland");
        QTest::addRow("compositor started inside an X11 session")
            << unset << QByteArray("wayland-0") << QByteArray("x11") << QByteArray("xcb;wayland");
        QTest::addRow("empty WAYLAND_DISPLAY is no compositor")
            << unset << QByteArray("") << QByteArray("x11") << unset;
        QTest::addRow("empty QT_QPA_PLATFORM is no choice of the user's")
            << QByteArray("") << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray("xcb;wayland");
        QTest::addRow("the user's wayland wins")
            << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray("wayland") << unset;
        QTest::addRow("the user's list wins")
            << QByteArray("wayland;xcb") << QByteArray("wayland-0") << unset << unset;
        QTest::addRow("offscreen, as in tests, wins")
            << QByteArray("offscreen") << unset << QByteArray("wayland") << unset;
    }

    // The pure rule, and the same rule read from and written to the real environment.
    void choice()
    {
        QFETCH(QByteArray, qpaPlatform);
        QFETCH(QByteArray, waylandDisplay);
        QFETCH(QByteArray, sessionType);
        QFETCH(QByteArray, chosen);

        const std::optional<QByteArray> rule =
            PreferredPlatform({qpaPlatform, waylandDisplay, sessionType});
        QCOMPARE(rule.has_value(), !chosen.isNull());
        if (rule)
            QCOMPARE(*rule, chosen);

        SetOrUnset("QT_QPA_PLATFORM", qpaPlatform);
        SetOrUnset("WAYLAND_DISPLAY", waylandDisplay);
        SetOrUnset("XDG_SESSION_TYPE", sessionType);
        QCOMPARE(PreferXWaylandInWaylandSession(), !chosen.isNull());
        const QByteArray expected = chosen.isNull() ? qpaPlatform : chosen;
        QCOMPARE(qEnvironmentVariableIsSet("QT_QPA_PLATFORM"), !expected.isNull());
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), expected);
        // The session's own variables are only read.
        QCOMPARE(qgetenv("WAYLAND_DISPLAY"), waylandDisplay);
        QCOMPARE(qgetenv("XDG_SESSION_TYPE"), sessionType);
    }

private:
    static std::vector<QByteArray> Snapshot()
    {
        std::vector<QByteArray> values;
        for (const char *name : kVariables)
            values.push_back(qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
        return values;
    }

    std::vector<QByteArray> saved_;
};

QTEST_GUILESS_MAIN(TestSessionPlatform)
#include "test_session_platform.moc"
