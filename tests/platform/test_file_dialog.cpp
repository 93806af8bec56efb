#include <QtTest>

#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include <unistd.h>

#include "gui/RecordText.h"
#include "platform/FileDialog.h"

using namespace quelvane;

Q_DECLARE_METATYPE(quelvane::FileDialogKind)

namespace {

QFileDialog *OpenFileDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<QFileDialog *>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// Ends the whole test program when a check has not come back within a minute: a dialog that
// blocks the main thread in read() cannot be stopped by anything inside it.
class Watchdog {
public:
    explicit Watchdog(const char *what)
        : thread_([this, what] {
              std::unique_lock lock(mutex_);
              if (!done_.wait_for(lock, std::chrono::seconds(60), [this] { return finished_; })) {
                  std::fprintf(stderr, "FAIL: %s: still blocked after a minute\n", what);
                  std::_Exit(1);
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            const std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

} // namespace

class TestFileDialog : public QObject {
    Q_OBJECT

private slots:
    void toolkitFilters_data()
    {
        QTest::addColumn<QString>("pairs");
        QTest::addColumn<QStringList>("filters");
        QTest::addRow("description already names the pattern")
            << "Cadrelant Files (*.tbl)|*.tbl" << QStringList{"Cadrelant Files (*.tbl)"};
        QTest::addRow("description without the pattern")
            << "Cadrelant Files|*.tbl" << QStringList{"Cadrelant Files (*.tbl)"};
        QTest::addRow("several patterns")
            << "Pictures|*.bmp;*.ico" << QStringList{"Pictures (*.bmp *.ico)"};
        QTest::addRow("two entries")
            << "Cadrelant Files (*.tbl)|*.tbl|All Files (*.*)|*.*"
            << QStringList{"Cadrelant Files (*.tbl)", "All Files (*.*)"};
        QTest::addRow("parenthesis naming another pattern")
            << "Old (*.dat)|*.tbl" << QStringList{"Old (*.dat) (*.tbl)"};
        QTest::addRow("no filter") << "" << QStringList{};
    }
    void toolkitFilters()
    {
        QFETCH(QString, pairs);
        QFETCH(QStringList, filters);
        QCOMPARE(ToolkitFilters(pairs), filters);
    }

    void behaviourForFlags_data()
    {
        QTest::addColumn<FileDialogKind>("kind");
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("confirmOverwrite");
        QTest::addColumn<bool>("mustExist");
        QTest::addRow("save, hide read-only only") << FileDialogKind::Save << int(kHideReadOnly) << false << false;
        QTest::addRow("open, hide read-only only") << FileDialogKind::Open << int(kHideReadOnly) << false << false;
        QTest::addRow("save, overwrite prompt") << FileDialogKind::Save << (kHideReadOnly | kOverwritePrompt) << true << false;
        QTest::addRow("open ignores overwrite prompt") << FileDialogKind::Open << int(kOverwritePrompt) << false << false;
        QTest::addRow("open, must exist") << FileDialogKind::Open << int(kFileMustExist) << false << true;
        QTest::addRow("save ignores must exist") << FileDialogKind::Save << int(kFileMustExist) << false << false;
    }
    void behaviourForFlags()
    {
        QFETCH(FileDialogKind, kind);
        QFETCH(int, flags);
        QFETCH(bool, confirmOverwrite);
        QFETCH(bool, mustExist);
        const FileDialogBehaviour behaviour = BehaviourForFlags(kind, flags);
        QCOMPARE(behaviour.confirmOverwrite, confirmOverwrite);
        QCOMPARE(behaviour.mustExist, mustExist);
    }

    void commonDialogOffersTheLastChosenPath()
    {
        RecordingFileDialog recorder;
        const Override scope(FileDialogSeam, recorder);
        QWidget owner;
        CommonDialog dialog(&owner);
        dialog.Filter = "Cadrelant Files (*.tbl)|*.tbl";
        dialog.Flags = kHideReadOnly;
        recorder.answers = {QString("/tmp/a.tbl"), std::nullopt, QString("/tmp/b")};

        QVERIFY(dialog.ShowSave());
        QCOMPARE(dialog.FileName, QString("/tmp/a.tbl"));
        QVERIFY(!dialog.ShowOpen()); // cancelled: the name stays
        QCOMPARE(dialog.FileName, QString("/tmp/a.tbl"));
        QVERIFY(dialog.ShowOpen());
        QCOMPARE(dialog.FileName, QString("/tmp/b"));

        QCOMPARE(recorder.asked.size(), 3);
        QCOMPARE(recorder.asked[0].kind, FileDialogKind::Save);
        QCOMPARE(recorder.asked[0].startName, QString());
        QCOMPARE(recorder.asked[1].kind, FileDialogKind::Open);
        QCOMPARE(recorder.asked[1].startName, QString("/tmp/a.tbl"));
        QCOMPARE(recorder.asked[2].startName, QString("/tmp/a.tbl"));
        for (const FileDialogRequest &request : recorder.asked) {
            QCOMPARE(request.filters, QStringList{"Cadrelant Files (*.tbl)"});
            QCOMPARE(request.filterIndex, 0);
            QCOMPARE(request.flags, int(kHideReadOnly));
        }
    }

    void realDialogAsSetUp_data()
    {
        QTest::addColumn<FileDialogKind>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("exists");
        QTest::addRow("save: a name without extension") << FileDialogKind::Save << "noext" << false;
        QTest::addRow("save: onto an existing file, no question") << FileDialogKind::Save << "old.tbl" << true;
        QTest::addRow("open: a file that does not exist") << FileDialogKind::Open << "missing" << false;
        QTest::addRow("open: an existing file") << FileDialogKind::Open << "old.tbl" << true;
    }
    void realDialogAsSetUp()
    {
        QFETCH(FileDialogKind, kind);
        QFETCH(QString, typed);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile old(dir.filePath("old.tbl"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        const QString start = dir.filePath("start.tbl");
        QCOMPARE(QFileInfo::exists(dir.filePath(typed)), exists);

        QWidget owner;
        CommonDialog dialog(&owner);
        dialog.Filter = "Cadrelant Files (*.tbl)|*.tbl";
        dialog.Flags = kHideReadOnly;
        dialog.FileName = start;

        bool seen = false;
        bool questioned = false;
        // Closes any question box, which would mean an unwanted overwrite prompt.
        QTimer questions;
        connect(&questions, &QTimer::timeout, this, [&] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible()) {
                    questioned = true;
                    box->reject();
                }
            }
        });
        questions.start(20);
        // Should a check below fail, the dialog still closes.
        QTimer::singleShot(5000, this, [] {
            if (QFileDialog *fileDialog = OpenFileDialog())
                fileDialog->reject();
        });
        QTimer::singleShot(50, this, [&] {
            QFileDialog *fileDialog = OpenFileDialog();
            if (!fileDialog)
                return;
            seen = true;
            QCOMPARE(fileDialog->acceptMode(), kind == FileDialogKind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            QCOMPARE(fileDialog->fileMode(), QFileDialog::AnyFile);
            QVERIFY(fileDialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(fileDialog->defaultSuffix(), QString());
            QCOMPARE(fileDialog->nameFilters(), QStringList{"Cadrelant Files (*.tbl)"});
            QCOMPARE(fileDialog->selectedNameFilter(), QString("Cadrelant Files (*.tbl)"));
            QCOMPARE(QDir(fileDialog->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
            QCOMPARE(QFileInfo(fileDialog->selectedFiles().value(0)).fileName(), QString("start.tbl"));
            // Typed into the name box and confirmed with Return, as a person would.
            auto *edit = fileDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(edit);
            edit->setText(typed);
            QTest::keyClick(edit, Qt::Key_Return);
            if (fileDialog->isVisible())
                fileDialog->reject();
        });
        const bool chosen = kind == FileDialogKind::Save ? dialog.ShowSave() : dialog.ShowOpen();
        QVERIFY2(seen, "the real file dialog never showed");
        QVERIFY2(!questioned, "the dialog asked a question");
        QVERIFY(chosen);
        QCOMPARE(QFileInfo(dialog.FileName).dir().canonicalPath(), QDir(dir.path()).canonicalPath());
        QCOMPARE(QFileInfo(dialog.FileName).fileName(), typed);
    }

    // The dialog decides icons and types from names alone: a file's contents are never read
    // while a folder is listed. Typed as Qt's own provider types them, "picture" would be a
    // PNG image (read from its first bytes), and /proc/kmsg would be read by root.
    void listingNeverReadsContents_data()
    {
        QTest::addColumn<QString>("folder"); // "" for a new folder
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("typeNot");
        QTest::addColumn<QString>("typeIs");
        const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0", 29);
        QTest::addRow("PNG bytes without an extension") << "" << "picture" << png << "PNG" << "";
        QTest::addRow("text named .png is typed by its name") << "" << "notes.png" << QByteArray("plain words\n") << "" << "PNG";
        QTest::addRow("typing /proc/ as root") << "/proc" << "kmsg" << QByteArray() << "" << "";
    }
    void listingNeverReadsContents()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(QString, typeNot);
        QFETCH(QString, typeIs);
        if (folder == "/proc" && ::geteuid() != 0)
            QSKIP("only root may read /proc/kmsg");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = (folder.isEmpty() ? dir.path() : folder) + '/' + name;
        if (folder.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        const Watchdog watchdog("listing a folder in the file dialog");

        QWidget owner;
        CommonDialog dialog(&owner);
        dialog.Filter = "All Files (*)|*";
        dialog.Flags = kHideReadOnly;
        dialog.FileName = dir.filePath("start.tbl");
        QString type;
        bool seen = false;
        QTimer::singleShot(50, this, [&] {
            QFileDialog *fileDialog = OpenFileDialog();
            if (!fileDialog)
                return;
            seen = true;
            // Typed into the name box, as a person would: the completer lists the folder.
            auto *edit = fileDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (edit)
                edit->setText(QFileInfo(path).path() + '/');
            auto *model = fileDialog->findChild<QFileSystemModel *>();
            if (model) {
                fileDialog->setDirectory(QFileInfo(path).path());
                // The model fills in a file's type once it has looked at the file.
                (void)QTest::qWaitFor([&] { // the checks below say what was missing
                    const QModelIndex index = model->index(path);
                    type = index.isValid() ? model->type(index) : QString();
                    if (index.isValid())
                        model->data(index, Qt::DecorationRole); // the icon, from the main thread
                    return !type.isEmpty();
                }, 20000);
            }
            fileDialog->reject();
        });
        QVERIFY(!dialog.ShowOpen());
        QVERIFY2(seen, "the real file dialog never showed");
        QVERIFY2(!type.isEmpty(), "the dialog never typed the file");
        if (!typeNot.isEmpty())
            QVERIFY2(!type.contains(typeNot), qPrintable(type));
        if (!typeIs.isEmpty())
            QVERIFY2(type.contains(typeIs), qPrintable(type));
    }

    void realDialogCancelled()
    {
        QWidget owner;
        CommonDialog dialog(&owner);
        dialog.FileName = "/tmp/kept.tbl";
        bool seen = false;
        QTimer::singleShot(50, this, [&] {
            if (QFileDialog *fileDialog = OpenFileDialog()) {
                seen = true;
                fileDialog->reject();
            }
        });
        QVERIFY(!dialog.ShowSave());
        QVERIFY(seen);
        QCOMPARE(dialog.FileName, QString("/tmp/kept.tbl"));
    }

    void recordText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addRow("ASCII") << QByteArray("Deep Probe") << QString("Deep Probe");
        QTest::addRow("empty") << QByteArray() << QString();
        QTest::addRow("UTF-8") << QByteArray("Caf\xC3\xA9") << QString::fromUtf8("Caf\xC3\xA9");
        QTest::addRow("Latin letters of a code page") << QByteArray("Caf\xE9") << QString::fromUtf8("Caf\xC3\xA9");
        QTest::addRow("euro sign and curly quotes")
            << QByteArray("\x80 \x93x\x94") << QString::fromUtf8("\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D");
        QTest::addRow("a cut UTF-8 sequence") << QByteArray("ab\xC3") << QString::fromUtf8("ab\xC3\x83");
        QTest::addRow("unassigned byte kept visible as its own code")
            << QByteArray("\x81") << QString(QChar(0x81));
        QTest::addRow("a zero byte") << QByteArray("a\0b", 3) << QStringView(u"a\0b", 3).toString();
    }
    void recordText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString shown = RecordText(std::string_view(bytes.constData(), size_t(bytes.size())));
        QCOMPARE(shown, text);
        QVERIFY(!shown.contains(QChar::ReplacementCharacter));
    }
};

QTEST_MAIN(TestFileDialog)
#include "test_file_dialog.moc"
