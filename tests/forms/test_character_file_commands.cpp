#include <QtTest>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "GuiFixture.h"
#include "TestFiles.h"
#include "forms/Forms.h"
#include "forms/FormInstance.h"
#include "forms/main/MainWindow.h"
#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"
#include "model/CharacterFile.h"
#include "model/modTarvock.h"
#include "model/Random.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"

using namespace quelvane;
using namespace quelvane::testing;

// A PNG's signature and the start of its first chunk: NUL bytes a text file never has.
constexpr char kPngStart[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\r\n";

class TestCharacterFileCommands : public QObject {
    Q_OBJECT

    std::optional<MainFixture> gui_;

    QString Path(const QString &name) const { return gui_->dir.filePath(name); }
    QString Status() const { return gui_->main->Label1->text(); }

    // One click with the dialog answering `path` (nothing: Cancel).
    void Load(const std::optional<QString> &path)
    {
        gui_->dialog.answers.append(path);
        gui_->main->cmdLoad->click();
    }
    void Save(const std::optional<QString> &path)
    {
        gui_->dialog.answers.append(path);
        gui_->main->cmdSave->click();
    }

private slots:
    void initTestCase() { SetLogicalDpiForTesting(96); }

    void init() { QVERIFY(gui_.emplace().dir.isValid()); }

    void cleanup()
    {
        gui_.reset();
    }

    void dialogIsOnTheMainWindow()
    {
        auto *dialog = gui_->main->findChild<CommonDialog *>(QStringLiteral("CommonDialog1"));
        QVERIFY(dialog);
        QCOMPARE(dialog, gui_->main->CommonDialog1);
    }

    void bothCommandsSetUpTheDialogAlike_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addRow("save") << true;
        QTest::addRow("load") << false;
    }
    void bothCommandsSetUpTheDialogAlike()
    {
        QFETCH(bool, save);
        save ? Save(std::nullopt) : Load(std::nullopt);
        QCOMPARE(gui_->dialog.asked.size(), 1);
        const FileDialogRequest &request = gui_->dialog.asked.first();
        QCOMPARE(request.kind, save ? FileDialogKind::Save : FileDialogKind::Open);
        QCOMPARE(request.filters, QStringList{"Cadrelant Files (*.tbl)"});
        QCOMPARE(request.filterIndex, 0);
        QCOMPARE(request.flags, 4);
        const FileDialogBehaviour behaviour = BehaviourForFlags(request.kind, request.flags);
        QVERIFY(!behaviour.confirmOverwrite);
        QVERIFY(!behaviour.mustExist);
        QCOMPARE(request.startName, QString());
    }

    void saveWritesTheRecordAndSaysSo()
    {
        CharacterRecord = Generated(11);
        const QString path = Path("hero.tbl");
        Save(path);
        QCOMPARE(Contents(path), Bytes(CharacterRecord));
        QCOMPARE(Status(), path + " saved.");
        QVERIFY(gui_->messages.shown.isEmpty());
    }

    void saveBeforeAnythingWritesTheEmptyRecord()
    {
        const QString path = Path("empty.tbl");
        Save(path);
        QCOMPARE(Contents(path), QByteArray("0\r\n").repeated(16) + QByteArray("\"\"\r\n").repeated(5)
                                     + QByteArray("0\r\n").repeated(50));
    }

    void saveUsesANameWithoutExtensionAsTyped()
    {
        const QString path = Path("noext");
        Save(path);
        QCOMPARE(Entries(gui_->dir.path()), QStringList{"noext"});
        QCOMPARE(Contents(path), Bytes(CharacterRecord));
    }

    void saveReplacesAnExistingFileWithoutAQuestion()
    {
        const QString path = Path("old.tbl");
        QVERIFY(Put(path, QByteArray(4000, 'o')));
        CharacterRecord = Generated(12);
        Save(path);
        QCOMPARE(Contents(path), Bytes(CharacterRecord));
        QVERIFY(gui_->messages.shown.isEmpty());
        QCOMPARE(Entries(gui_->dir.path()), QStringList{"old.tbl"});
    }

    void cancelledSaveTouchesNothing()
    {
        const QString before = Status();
        Save(std::nullopt);
        QCOMPARE(gui_->dialog.asked.size(), 1);
        QVERIFY(Entries(gui_->dir.path()).isEmpty());
        QCOMPARE(Status(), before);
        QVERIFY(gui_->messages.shown.isEmpty());
    }

    void saveThenLoadGivesTheRecordBack_data()
    {
        QTest::addColumn<CharacterRecordType>("record");
        QTest::addRow("empty record") << CharacterRecordType{};
        QTest::addRow("generated, seed 5") << Generated(5);
        QTest::addRow("generated, seed 6000") << Generated(6000);
        CharacterRecordType odd = Generated(7);
        odd.Name = "Caf\xE9 \"Q\", \x93" "boss\x94";
        odd.Cover = " ";
        odd.Secret = "";
        odd.Strength = -32768;
        odd.Survival = 32767;
        QTest::addRow("quotes, commas, code-page bytes") << odd;
    }
    void saveThenLoadGivesTheRecordBack()
    {
        QFETCH(CharacterRecordType, record);
        CharacterRecord = record;
        const QString path = Path("round.tbl");
        Save(path);
        const QByteArray saved = Contents(path);
        CharacterRecord = Generated(99);
        Load(path);
        QVERIFY(CharacterRecord == record);
        QCOMPARE(Status(), path + " loaded.");
        // Saved again, the file is the same bytes.
        Save(Path("again.tbl"));
        QCOMPARE(Contents(Path("again.tbl")), saved);
    }

    void handEditedFileLoadsAsEdited()
    {
        CharacterRecord = Generated(21);
        const QString path = Path("edit.tbl");
        Save(path);
        // As an editor on this system might leave it: LF line ends, values changed by hand.
        QList<QByteArray> lines = Contents(path).split('\n');
        for (QByteArray &line : lines)
            line = line.trimmed();
        lines[0] = "99";
        lines[16] = "\"Hand-R-Made\"";
        lines[18] = "Armed Forces";
        lines[70] = "  -3";
        QVERIFY(Put(path, lines.join('\n')));
        Load(path);
        QCOMPARE(Status(), path + " loaded.");
        QCOMPARE(CharacterRecord.Strength, int16_t(99));
        QCOMPARE(CharacterRecord.Name, std::string("Hand-R-Made"));
        QCOMPARE(CharacterRecord.Cover, std::string("Armed Forces"));
        QCOMPARE(CharacterRecord.Survival, int16_t(-3));
        QCOMPARE(CharacterRecord.Endurance, Generated(21).Endurance);
    }

    void theDialogOffersThePathLastChosen_data()
    {
        QTest::addColumn<bool>("loadFirst");
        QTest::addColumn<bool>("saveNext");
        QTest::addRow("after a load, the save dialog") << true << true;
        QTest::addRow("after a load, the open dialog") << true << false;
        QTest::addRow("after a save, the open dialog") << false << false;
        QTest::addRow("after a save, the save dialog") << false << true;
    }
    void theDialogOffersThePathLastChosen()
    {
        QFETCH(bool, loadFirst);
        QFETCH(bool, saveNext);
        const QString path = Path("chosen.tbl");
        QVERIFY(Put(path, Bytes(Generated(3))));
        loadFirst ? Load(path) : Save(path);
        saveNext ? Save(std::nullopt) : Load(std::nullopt);
        QCOMPARE(gui_->dialog.asked.size(), 2);
        QCOMPARE(gui_->dialog.asked.last().startName, path);
    }

    void emptyFileGivesTheMessageAndChangesNothing()
    {
        CharacterRecord = Generated(8);
        const CharacterRecordType before = CharacterRecord;
        gui_->main->SetStatus("before");
        const QString path = Path("empty.tbl");
        QVERIFY(Put(path, QByteArray()));
        Load(path);
        QCOMPARE(gui_->messages.shown.size(), 1);
        QCOMPARE(gui_->messages.shown[0].text, QString("No records in data file."));
        QCOMPARE(gui_->messages.shown[0].title, QString("Quelvane Cadrelant Generator"));
        QCOMPARE(gui_->messages.shown[0].icon, MessageIcon::Exclamation);
        QVERIFY(CharacterRecord == before);
        QCOMPARE(Status(), QString("before"));
    }

    void failedLoadChangesNothingAndSaysNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents"); // for "file"
        const QByteArray good = Bytes(Generated(4));
        QTest::addRow("fewer than 71 fields") << "file" << good.left(good.lastIndexOf("\r\n", good.size() - 3) + 2);
        QTest::addRow("half a file") << "file" << good.left(good.size() / 2);
        QTest::addRow("32768 in the last field") << "file" << good.left(good.lastIndexOf("\r\n", good.size() - 3) + 2) + "32768\r\n";
        QTest::addRow("two megabytes without a line end") << "file" << QByteArray(2 << 20, 'x');
        QTest::addRow("binary data") << "file" << QByteArray(3000, '\x01');
        QTest::addRow("a PNG with a whole record after its header")
            << "file" << QByteArray::fromRawData(kPngStart, sizeof kPngStart - 1) + good;
        QTest::addRow("this test program") << "SELF" << QByteArray();
        QTest::addRow("a missing file") << "missing.tbl" << QByteArray();
        QTest::addRow("a folder") << "folder" << QByteArray();
        QTest::addRow("a FIFO") << "fifo" << QByteArray();
        QTest::addRow("an endless device") << "/dev/zero" << QByteArray();
    }
    void failedLoadChangesNothingAndSaysNothing()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QVERIFY(Put(Path("file"), contents));
        QVERIFY(QDir(gui_->dir.path()).mkdir("folder"));
        QCOMPARE(::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0644), 0);
        CharacterRecord = Generated(9);
        const CharacterRecordType before = CharacterRecord;
        gui_->main->SetStatus("before");

        Load(name == "SELF" ? QCoreApplication::applicationFilePath()
                            : name.startsWith('/') ? name : Path(name));
        QVERIFY(CharacterRecord == before);
        QCOMPARE(Status(), QString("before"));
        QVERIFY(gui_->messages.shown.isEmpty());

        // The next load works normally.
        QVERIFY(Put(Path("good.tbl"), Bytes(Generated(10))));
        Load(Path("good.tbl"));
        QVERIFY(CharacterRecord == Generated(10));
        QCOMPARE(Status(), Path("good.tbl") + " loaded.");
    }

    void loadClosesTheViewersCancelDoesNot_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("file");
        QTest::addRow("a good file") << false << "good.tbl";
        QTest::addRow("a short file") << false << "short.tbl";
        QTest::addRow("cancel") << true << QString();
    }
    void loadClosesTheViewersCancelDoesNot()
    {
        QFETCH(bool, cancel);
        QFETCH(QString, file);
        const QByteArray good = Bytes(Generated(15));
        QVERIFY(Put(Path("good.tbl"), good));
        QVERIFY(Put(Path("short.tbl"), good.left(40)));
        FormInstance<ViewStats>::Get()->show();
        FormInstance<ViewSkills>::Get()->show();
        FormInstance<ViewSecret>::Get()->hide(); // loaded but hidden: still closed by Load
        if (cancel)
            Load(std::nullopt);
        else
            Load(Path(file));
        QCOMPARE(FormInstance<ViewStats>::IsLoaded(), cancel);
        QCOMPARE(FormInstance<ViewSkills>::IsLoaded(), cancel);
        QCOMPARE(FormInstance<ViewSecret>::IsLoaded(), cancel);
        if (file == "good.tbl") {
            // Opened again, a viewer shows the loaded character.
            auto *name = FormInstance<ViewSecret>::Get()->findChild<QLineEdit *>("txtName");
            QVERIFY(name);
            QCOMPARE(name->text(), QString::fromStdString(Generated(15).Name));
        }
    }

    void cancelledLoadChangesNothing()
    {
        CharacterRecord = Generated(13);
        const CharacterRecordType before = CharacterRecord;
        gui_->main->SetStatus("before");
        Load(std::nullopt);
        QCOMPARE(gui_->dialog.asked.size(), 1);
        QVERIFY(CharacterRecord == before);
        QCOMPARE(Status(), QString("before"));
        QVERIFY(gui_->messages.shown.isEmpty());
    }

    // ---- The command line's FILE, loaded at start ----

    void loadAtStartIsLoadWithoutTheDialog_data()
    {
        QTest::addColumn<QString>("given"); // taken from the temporary folder
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QString>("told"); // what the message says beside the path; none: ""
        const QByteArray good = Bytes(Generated(31));
        QTest::addRow("a good file, full path") << "FULL" << good << true << QString();
        QTest::addRow("a good file, relative path") << "./hero.tbl" << good << true << QString();
        QTest::addRow("a missing file: told, with the reason")
            << "missing.tbl" << QByteArray() << false << "No such file or directory";
        QTest::addRow("a folder: told, with the reason")
            << "folder" << QByteArray() << false << "cannot be read: not a regular file.";
        QTest::addRow("a short file: told") << "hero.tbl" << good.left(good.size() / 2) << false
                                             << "ends before the Cadrelant is complete";
        QTest::addRow("an empty file: the message") << "hero.tbl" << QByteArray() << false
                                                    << "No records in data file.";
    }
    void loadAtStartIsLoadWithoutTheDialog()
    {
        QFETCH(QString, given);
        QFETCH(QByteArray, contents);
        QFETCH(bool, loads);
        QFETCH(QString, told);
        const bool named = given == "missing.tbl" || given == "folder";
        const QString path = Path(named ? given : QStringLiteral("hero.tbl"));
        if (given == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (given != "missing.tbl")
            QVERIFY(Put(path, contents));
        FormInstance<ViewStats>::Get()->show();
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(gui_->dir.path()));
        gui_->main->LoadAtStart(QFile::encodeName(given == "FULL" ? path : given));
        QVERIFY(QDir::setCurrent(before));

        QVERIFY(gui_->dialog.asked.isEmpty());
        QVERIFY(CharacterRecord == (loads ? Generated(31) : CharacterRecordType{}));
        QCOMPARE(Status(), loads ? path + " loaded." : QString("Welcome to the Quelvane Cadrelant Generator."));
        QCOMPARE(gui_->messages.shown.size(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty()) {
            const MessageRequest &message = gui_->messages.shown[0];
            QVERIFY2(message.text.contains(told), qPrintable(message.text));
            if (!contents.isEmpty() || named)
                QVERIFY2(message.text.contains(path), qPrintable(message.text));
            QCOMPARE(message.title, QString("Quelvane Cadrelant Generator"));
            QCOMPARE(message.icon, MessageIcon::Exclamation);
        }
        // As after Load: the viewers are closed and the dialog offers the full path.
        QVERIFY(!FormInstance<ViewStats>::IsLoaded());
        Save(std::nullopt);
        QCOMPARE(gui_->dialog.asked.last().startName, path);
    }

    // A name in Latin-1 bytes, as old archives and file managers hand them over: the file
    // loads, and the status line shows each odd byte as the desktop does, as U+FFFD.
    void loadAtStartTakesANameThatIsNotUtf8()
    {
        const QByteArray folder = QFile::encodeName(gui_->dir.path());
        const QByteArray native = folder + "/caf\xe9.tbl";
        const QByteArray good = Bytes(Generated(31));
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, good.constData(), size_t(good.size())), ssize_t(good.size()));
        ::close(fd);

        gui_->main->LoadAtStart(native);
        QVERIFY(CharacterRecord == Generated(31));
        QCOMPARE(Status(), gui_->dir.path() + QStringLiteral("/caf\uFFFD.tbl loaded."));
    }

    void failedSaveOverAFolderKeepsIt()
    {
        // A full disk and a read-only folder: test_character_file_commands_as_root.
        const QString folder = Path("place");
        QVERIFY(QDir().mkdir(folder));
        const QString target = folder + "/sub";
        const QByteArray old = Bytes(Generated(14));
        QVERIFY(QDir().mkdir(target));
        QVERIFY(Put(target + "/inside", old));
        const QStringList entries = Entries(folder);

        CharacterRecord = Generated(15);
        gui_->main->SetStatus("before");
        Save(target);
        QCOMPARE(Status(), QString("before"));
        QCOMPARE(gui_->messages.shown.size(), 1);
        QVERIFY2(gui_->messages.shown[0].text.contains(target), qPrintable(gui_->messages.shown[0].text));
        QCOMPARE(Entries(folder), entries);
        QCOMPARE(Contents(target + "/inside"), old);
    }

    // A save that fails after a file was chosen is told: a message with the program's title,
    // the exclamation icon and one OK button, naming the file and the system's reason.
    void failedSaveIsTold_data()
    {
        QTest::addColumn<QString>("target"); // in the temporary folder
        QTest::addColumn<QString>("reason");
        QTest::addRow("a missing folder") << "gone/hero.tbl" << "No such file or directory";
        QTest::addRow("a file standing for a folder") << "plain.tbl/hero.tbl" << "Not a directory";
        QTest::addRow("a name ending in a slash") << "hero.tbl/" << "Is a directory";
    }
    void failedSaveIsTold()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QVERIFY(Put(Path("plain.tbl"), "not a folder"));
        CharacterRecord = Generated(16);
        gui_->main->SetStatus("before");
        Save(Path(target));
        QCOMPARE(Status(), QString("before"));
        QCOMPARE(gui_->messages.shown.size(), 1);
        const MessageRequest &told = gui_->messages.shown[0];
        QCOMPARE(told.title, QString("Quelvane Cadrelant Generator"));
        QCOMPARE(told.icon, MessageIcon::Exclamation);
        QVERIFY(told.accept.isEmpty()); // a message with OK alone, not a question
        QVERIFY2(told.text.contains(Path(target)), qPrintable(told.text));
        QVERIFY2(told.text.contains(reason), qPrintable(told.text));

        // The program goes on: the next save, to a good place, works and says so.
        Save(Path("hero.tbl"));
        QCOMPARE(Status(), Path("hero.tbl") + " saved.");
        QCOMPARE(gui_->messages.shown.size(), 1);
    }
};

QTEST_MAIN(TestCharacterFileCommands)
#include "test_character_file_commands.moc"
