// Save Cadrelant where only root can set the scene: a full disk and a read-only folder. The
// command fails silently and the old file keeps its bytes. Skipped as a whole, with the
// reason, where the process lacks the rights.
#include <QtTest>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "GuiFixture.h"
#include "RootTestMain.h"
#include "TestFiles.h"
#include "forms/Forms.h"
#include "forms/main/MainWindow.h"
#include "model/modTarvock.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/MountGuard.h"
#include "platform/Twips.h"

using namespace quelvane;
using namespace quelvane::testing;

class TestCharacterFileCommandsAsRoot : public QObject {
    Q_OBJECT

    std::optional<MainFixture> gui_;

private slots:
    void initTestCase() { SetLogicalDpiForTesting(96); }
    void init() { QVERIFY(gui_.emplace().dir.isValid()); }
    void cleanup() { gui_.reset(); }

    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("reason"); // the system's words, as the user reads them
        QTest::addRow("a read-only folder") << "read-only" << "Read-only file system";
        QTest::addRow("a full disk") << "full" << "No space left on device";
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, how);
        QFETCH(QString, reason);
        const QString folder = gui_->dir.filePath("place");
        QVERIFY(QDir().mkdir(folder));
        MountGuard mount;
        if (how == "full")
            QVERIFY2(mount.Tmpfs(folder, "16k"), qPrintable(mount.error()));
        const QString target = folder + "/old.tbl";
        const QByteArray old = Bytes(Generated(14));
        QVERIFY(Put(target, old));
        if (how == "read-only")
            QVERIFY2(mount.ReadOnly(folder), qPrintable(mount.error()));
        if (how == "full") {
            QFile filler(folder + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size()) {
            }
        }
        const QStringList entries = Entries(folder);

        CharacterRecord = Generated(15);
        CharacterRecord.Name = std::string(20000, 'N'); // more than any room left
        gui_->main->SetStatus("before");
        gui_->dialog.answers.append(target);
        gui_->main->cmdSave->click();
        QCOMPARE(gui_->dialog.asked.size(), 1);
        gui_->dialog.asked.clear();
        QCOMPARE(gui_->main->Label1->text(), QString("before"));
        // Said, with the file and the reason (the message's form: test_character_file_commands).
        QCOMPARE(gui_->messages.shown.size(), 1);
        QVERIFY2(gui_->messages.shown[0].text.contains(target) && gui_->messages.shown[0].text.contains(reason),
                 qPrintable(gui_->messages.shown[0].text));
        QCOMPARE(Entries(folder), entries);
        QCOMPARE(Contents(target), old);
    }
};

QUELVANE_ROOT_TEST_MAIN(TestCharacterFileCommandsAsRoot)
#include "test_character_file_commands_as_root.moc"
