#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "GuiFixture.h"
#include "FakeProgram.h"
#include "forms/about/SysInfo.h"
#include "platform/MemoryRegistry.h"
#include "platform/MessageBox.h"
#include "platform/Programs.h"

using namespace quelvane;
using namespace quelvane::testing;

namespace {

const QByteArray kInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr quint32 kAbsent = 0;

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

} // namespace

class TestSysInfo : public QObject {
    Q_OBJECT

    std::optional<RecordingSystem> gui_;
    DetachedProgramStarter realStarter_;

    QString D() const { return gui_->dir.path(); }
    QString In(QString text) const { return text.replace(QStringLiteral("$D"), D()); }
    QByteArray In(QByteArray bytes) const
    {
        return bytes.replace("$D", QFile::encodeName(D()));
    }

    void VerifyEveryKeyClosed()
    {
        QVERIFY2(gui_->registry.OpenHandles().isEmpty(), "a registry key was left open");
        QCOMPARE(gui_->registry.closed, gui_->registry.opened);
    }

private slots:
    void init()
    {
        QVERIFY(gui_.emplace().dir.isValid());
        gui_->starter.next = &realStarter_;
    }
    void cleanup() { gui_.reset(); }

    void getKeyValueReadsByType_data()
    {
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("read");
        QTest::addColumn<QString>("result");
        const QByteArray path = "C:\\Program Files\\Tools\\info.exe";
        const QByteArray full(1024, 'a');
        QTest::addRow("string with its terminating zero") << true << kRegSz << path + '\0' << true << QString(path);
        QTest::addRow("string without terminating zero") << true << kRegSz << path << true << QString(path);
        QTest::addRow("only one trailing zero dropped") << true << kRegSz << QByteArray("abc\0\0", 5) << true << QString::fromLatin1("abc\0", 4);
        QTest::addRow("empty string") << true << kRegSz << QByteArray() << true << "";
        QTest::addRow("string of a lone zero") << true << kRegSz << QByteArray(1, '\0') << true << "";
        QTest::addRow("string filling the buffer") << true << kRegSz << full << true << QString(full);
        QTest::addRow("string too big for the buffer") << true << kRegSz << full + 'b' << false << "";
        QTest::addRow("string in the 8-bit encoding") << true << kRegSz << QByteArray("/opt/Pr\xc3\xbc" "fer\0", 12) << true << QString::fromUtf8("/opt/Pr\xc3\xbc" "fer");
        QTest::addRow("32-bit number 258") << true << kRegDword << Bytes({0x02, 0x01, 0x00, 0x00}) << true << "258";
        QTest::addRow("32-bit number 0x12345678") << true << kRegDword << Bytes({0x78, 0x56, 0x34, 0x12}) << true << "305419896";
        QTest::addRow("32-bit number with every bit set") << true << kRegDword << Bytes({0xff, 0xff, 0xff, 0xff}) << true << "4294967295";
        QTest::addRow("32-bit number 10: small bytes keep their zeros") << true << kRegDword << Bytes({0x0a, 0x00, 0x00, 0x00}) << true << "10";
        QTest::addRow("32-bit zero") << true << kRegDword << Bytes({0, 0, 0, 0}) << true << "0";
        QTest::addRow("32-bit number 0x01000000") << true << kRegDword << Bytes({0, 0, 0, 1}) << true << "16777216";
        QTest::addRow("expandable string leaves the result") << true << kRegExpandSz << QByteArray("%SystemRoot%\\info.exe\0", 22) << true << "before";
        QTest::addRow("binary value leaves the result") << true << kRegBinary << Bytes({1, 2, 3}) << true << "before";
        QTest::addRow("missing value") << true << kAbsent << QByteArray() << false << "";
        QTest::addRow("missing key") << false << kAbsent << QByteArray() << false << "";
    }
    void getKeyValueReadsByType()
    {
        QFETCH(bool, keyExists);
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        QFETCH(bool, read);
        QFETCH(QString, result);
        if (keyExists)
            gui_->registry.AddKey(kHkeyLocalMachine, kInfoKey);
        if (type != kAbsent)
            gui_->registry.SetValue(kHkeyLocalMachine, kInfoKey, "PATH", type, data);
        // Another value of the same key is never read in its place.
        if (keyExists)
            gui_->registry.SetValue(kHkeyLocalMachine, kInfoKey, "OTHER", kRegSz, "other");

        QString value = QStringLiteral("before");
        QCOMPARE(GetKeyValue(kHkeyLocalMachine, QString(kInfoKey), QStringLiteral("PATH"), value), read);
        QCOMPARE(value, result);
        QCOMPARE(gui_->registry.opened, keyExists ? 1 : 0);
        VerifyEveryKeyClosed();
    }

    void startSysInfoFindsAndStartsTheProgram_data()
    {
        QTest::addColumn<QStringList>("programs");
        QTest::addColumn<quint32>("pathType");
        QTest::addColumn<QByteArray>("pathData");
        QTest::addColumn<quint32>("folderType");
        QTest::addColumn<QByteArray>("folderData");
        QTest::addColumn<QStringList>("started");
        QTest::addColumn<QString>("ranAs");
        QTest::addColumn<bool>("message");

        const QByteArray none;
        const QByteArray sysinfo("$D/tools/sysinfo\0", 17);
        const QByteArray bin("$D/bin\0", 7);
        QTest::addRow("PATH value started unchanged")
            << QStringList{"tools/sysinfo"} << kRegSz << sysinfo << kAbsent << none
            << QStringList{"$D/tools/sysinfo"} << "$D/tools/sysinfo" << false;
        QTest::addRow("PATH value started without a file check")
            << QStringList{"tools/.sysinfo"} << kRegSz << QByteArray("$D/tools/.sysinfo") << kAbsent << none
            << QStringList{"$D/tools/.sysinfo"} << "$D/tools/.sysinfo" << false;
        QTest::addRow("PATH value before the folder value")
            << QStringList{"tools/sysinfo", "bin/hardinfo"} << kRegSz << sysinfo << kRegSz << bin
            << QStringList{"$D/tools/sysinfo"} << "$D/tools/sysinfo" << false;
        QTest::addRow("folder value with the program in it")
            << QStringList{"bin/hardinfo"} << kAbsent << none << kRegSz << bin
            << QStringList{"$D/bin\\MSINFO32.EXE"} << "$D/bin/hardinfo" << false;
        QTest::addRow("folder value with MSINFO32.EXE itself")
            << QStringList{"bin/MSINFO32.EXE"} << kAbsent << none << kRegSz << bin
            << QStringList{"$D/bin\\MSINFO32.EXE"} << "$D/bin/MSINFO32.EXE" << false;
        QTest::addRow("folder value with the program missing")
            << QStringList{"bin/other", "tools/hardinfo"} << kAbsent << none << kRegSz << bin
            << QStringList{} << "" << true;
        QTest::addRow("folder value of a missing folder")
            << QStringList{} << kAbsent << none << kRegSz << bin
            << QStringList{} << "" << true;
        QTest::addRow("neither value")
            << QStringList{"bin/hardinfo"} << kAbsent << none << kAbsent << none
            << QStringList{} << "" << true;
        QTest::addRow("PATH value of a missing program")
            << QStringList{} << kRegSz << sysinfo << kAbsent << none
            << QStringList{"$D/tools/sysinfo"} << "" << true;
        QTest::addRow("PATH value of a program that cannot run")
            << QStringList{"tools/sysinfo:noexec"} << kRegSz << sysinfo << kAbsent << none
            << QStringList{"$D/tools/sysinfo"} << "" << true;
        QTest::addRow("a failed start does not try the folder")
            << QStringList{"bin/hardinfo"} << kRegSz << sysinfo << kRegSz << bin
            << QStringList{"$D/tools/sysinfo"} << "" << true;
        QTest::addRow("PATH value as expandable string")
            << QStringList{"tools/sysinfo"} << kRegExpandSz << sysinfo << kAbsent << none
            << QStringList{} << "" << true;
        QTest::addRow("PATH value empty")
            << QStringList{"tools/sysinfo"} << kRegSz << QByteArray(1, '\0') << kAbsent << none
            << QStringList{} << "" << true;
        QTest::addRow("PATH value a number")
            << QStringList{} << kRegDword << Bytes({1, 0, 0, 0}) << kAbsent << none
            << QStringList{"1"} << "" << true;
        QTest::addRow("folder value as expandable string")
            << QStringList{"bin/hardinfo"} << kAbsent << none << kRegExpandSz << bin
            << QStringList{} << "" << true;
    }
    void startSysInfoFindsAndStartsTheProgram()
    {
        QFETCH(QStringList, programs);
        QFETCH(quint32, pathType);
        QFETCH(QByteArray, pathData);
        QFETCH(quint32, folderType);
        QFETCH(QByteArray, folderData);
        QFETCH(QStringList, started);
        QFETCH(QString, ranAs);
        QFETCH(bool, message);

        for (QString program : programs) {
            const bool runnable = !program.endsWith(QStringLiteral(":noexec"));
            program.remove(QStringLiteral(":noexec"));
            const QString path = D() + u'/' + program;
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            QVERIFY(WriteFakeProgram(path, runnable));
        }
        gui_->registry.AddKey(kHkeyLocalMachine, kInfoKey);
        gui_->registry.AddKey(kHkeyLocalMachine, kLocationKey);
        if (pathType != kAbsent)
            gui_->registry.SetValue(kHkeyLocalMachine, kInfoKey, "PATH", pathType, In(pathData));
        if (folderType != kAbsent)
            gui_->registry.SetValue(kHkeyLocalMachine, kLocationKey, "MSINFO", folderType, In(folderData));

        StartSysInfo();

        QStringList expected;
        for (const QString &path : started)
            expected.append(In(path));
        QCOMPARE(gui_->starter.asked, expected);
        if (message) {
            QCOMPARE(gui_->messages.shown.size(), 1);
            QCOMPARE(gui_->messages.shown[0].text, QStringLiteral("System Information Is Unavailable At This Time"));
            QCOMPARE(gui_->messages.shown[0].title, QStringLiteral("Quelvane Cadrelant Generator"));
            QCOMPARE(gui_->messages.shown[0].icon, MessageIcon::None);
        } else {
            QCOMPARE(gui_->messages.shown.size(), 0);
        }
        if (!ranAs.isEmpty())
            QTRY_COMPARE(StartedAs(In(ranAs)), In(ranAs));
        VerifyEveryKeyClosed();
    }
};

QTEST_MAIN(TestSysInfo)
#include "test_sys_info.moc"
