// The character type Qt starts with is UTF-8 in any environment, and nothing else changes.
#include <QtTest>

#include <langinfo.h>
#include <locale.h>

#include "gui/Utf8Locale.h"

using namespace quelvane;

namespace {

const char *const kVariables[] = {"LC_ALL",  "LC_CTYPE",    "LC_NUMERIC", "LC_TIME",
                                  "LC_COLLATE", "LC_MONETARY", "LC_MESSAGES", "LC_PAPER",
                                  "LC_NAME", "LC_ADDRESS",  "LC_TELEPHONE", "LC_MEASUREMENT",
                                  "LC_IDENTIFICATION", "LANG"};

// A null value stands for a variable that is not set at all.
void SetOrUnset(const char *name, const QByteArray &value)
{
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

QList<QByteArray> Snapshot()
{
    QList<QByteArray> values;
    for (const char *name : kVariables)
        values.append(qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
    return values;
}

// What setlocale(LC_ALL, "") makes of the environment, as Qt calls it.
struct Applied {
    bool ok;
    QByteArray codeset, time, paper;
};
Applied Apply()
{
    const QByteArray before = ::setlocale(LC_ALL, nullptr);
    Applied applied{::setlocale(LC_ALL, "") != nullptr, {}, {}, {}};
    applied.codeset = ::nl_langinfo(CODESET);
    applied.time = ::setlocale(LC_TIME, nullptr);
    applied.paper = ::setlocale(LC_PAPER, nullptr);
    ::setlocale(LC_ALL, before.constData());
    return applied;
}

} // namespace

class TestUtf8Locale : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        saved_ = Snapshot();
        for (const char *name : kVariables)
            qunsetenv(name);
    }
    void cleanup()
    {
        for (qsizetype i = 0; i < saved_.size(); ++i)
            SetOrUnset(kVariables[i], saved_[i]);
    }

    void characterType_data()
    {
        QTest::addColumn<QByteArray>("lcAll");
        QTest::addColumn<QByteArray>("lcCtype");
        QTest::addColumn<QByteArray>("lcTime");
        QTest::addColumn<QByteArray>("lcPaper");
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<QByteArray>("time");  // what LC_TIME must still be
        QTest::addColumn<QByteArray>("paper"); // and LC_PAPER
        const QByteArray unset;
        const QByteArray c("C"), utf8("C.UTF-8");

        QTest::addRow("no locale at all, as in cron: UTF-8, the rest C")
            << unset << unset << unset << unset << unset << true << c << c;
        QTest::addRow("LANG=C: UTF-8, the rest C") << unset << unset << unset << unset << c << true << c << c;
        QTest::addRow("LC_ALL=C still wins over a category")
            << c << unset << unset << utf8 << unset << true << c << c;
        QTest::addRow("a category of its own is kept")
            << unset << unset << utf8 << unset << c << true << QByteArray("C.utf8") << c;
        QTest::addRow("a locale not installed: all C, as setlocale falls back")
            << unset << unset << unset << unset << QByteArray("xx_YY.ISO-8859-1") << true << c << c;
        QTest::addRow("LANG=C.UTF-8 is left alone") << unset << unset << unset << unset << utf8 << false
                                                   << QByteArray("C.UTF-8") << QByteArray("C.UTF-8");
        QTest::addRow("a UTF-8 LC_CTYPE alone is enough")
            << unset << utf8 << unset << unset << c << false << c << c;
    }

    void characterType()
    {
        QFETCH(QByteArray, lcAll);
        QFETCH(QByteArray, lcCtype);
        QFETCH(QByteArray, lcTime);
        QFETCH(QByteArray, lcPaper);
        QFETCH(QByteArray, lang);
        QFETCH(bool, changes);
        QFETCH(QByteArray, time);
        QFETCH(QByteArray, paper);
        SetOrUnset("LC_ALL", lcAll);
        SetOrUnset("LC_CTYPE", lcCtype);
        SetOrUnset("LC_TIME", lcTime);
        SetOrUnset("LC_PAPER", lcPaper);
        SetOrUnset("LANG", lang);
        const QList<QByteArray> environment = Snapshot();

        Utf8CharacterType utf8;
        QCOMPARE(utf8.Changed(), changes);
        const Applied applied = Apply();
        QVERIFY(applied.ok);
        QCOMPARE(applied.codeset, QByteArray("UTF-8"));
        // glibc names C.UTF-8 either way; only the C ones must match exactly.
        QCOMPARE(applied.time.toLower().replace('-', ""), time.toLower().replace('-', ""));
        QCOMPARE(applied.paper.toLower().replace('-', ""), paper.toLower().replace('-', ""));

        utf8.Restore();
        QCOMPARE(Snapshot(), environment);
    }

private:
    QList<QByteArray> saved_;
};

QTEST_GUILESS_MAIN(TestUtf8Locale)
#include "test_utf8_locale.moc"
