// Save Cadrelant where only root can set the scene: a full disk and a read-only folder. The
// command fails silently and the old file keeps its bytes. Skipped as a whole, with the
// reason, where the process lacks the rights.
#include <QtTest>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

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

    MainWindow *main_ = nullptr;
    RecordingFileDialog dialog_;
    RecordingMessageBox messages_;
    FileDialogBackend *previousDialog_ = nullptr;
    MessageBoxBackend *previousMessages_ = nullptr;
    QTemporaryDir *dir_ = nullptr;

private slots:
    void initTestCase()
    {
        SetLogicalDpiForTesting(96);
        previousDialog_ = SetFileDialogBackend(&dialog_);
        previousMessages_ = SetMessageBoxBackend(&messages_);
    }
    void cleanupTestCase()
    {
        SetFileDialogBackend(previousDialog_);
        SetMessageBoxBackend(previousMessages_);
    }

    void init()
    {
        dir_ = new QTemporaryDir;
        QVERIFY(dir_->isValid());
        messages_.shown.clear();
        main_ = new MainWindow;
        SetMainForm(main_);
    }
    void cleanup()
    {
        UnloadAllForms();
        SetMainForm(nullptr);
        delete main_;
        delete dir_;
        CharacterRecord = {};
    }

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
        const QString folder = dir_->filePath("place");
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
        main_->SetStatus("before");
        dialog_.answers.append(target);
        main_->cmdSave->click();
        QCOMPARE(dialog_.asked.size(), 1);
        dialog_.asked.clear();
        QCOMPARE(main_->Label1->text(), QString("before"));
        // Said, with the file and the reason: the user must not leave believing it saved.
        QCOMPARE(messages_.shown.size(), 1);
        QCOMPARE(messages_.shown[0].title, QString("Quelvane Cadrelant Generator"));
        QCOMPARE(messages_.shown[0].icon, MessageIcon::Exclamation);
        QVERIFY(messages_.shown[0].accept.isEmpty());
        QVERIFY2(messages_.shown[0].text.contains(target) && messages_.shown[0].text.contains(reason),
                 qPrintable(messages_.shown[0].text));
        QCOMPARE(Entries(folder), entries);
        QCOMPARE(Contents(target), old);
    }
};

QUELVANE_ROOT_TEST_MAIN(TestCharacterFileCommandsAsRoot)
#include "test_character_file_commands_as_root.moc"
