// Files written by quelvane-roll -o, taken through the window's own Load and Save commands.
#include <QtTest>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "GuiFixture.h"
#include "RollProcess.h"
#include "forms/Forms.h"
#include "forms/main/MainWindow.h"
#include "model/CharacterFile.h"
#include "model/modTarvock.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/Twips.h"
#include "roll/OutputFiles.h"
#include "roll/RollCommand.h"

using namespace quelvane;

class TestRollFilesWindow : public QObject {
    Q_OBJECT

    std::optional<testing::MainFixture> gui_;

    void Click(QPushButton *button, const QString &path)
    {
        gui_->dialog.answers.append(path);
        button->click();
    }

private slots:
    void initTestCase() { SetLogicalDpiForTesting(96); }

    void init() { gui_.emplace(); }
    void cleanup() { gui_.reset(); }

    void rolledFilesLoadBackAndSaveIdentically_data()
    {
        QTest::addColumn<QString>("seed");
        QTest::addColumn<int>("count");
        QTest::addRow("one character") << "1" << 1;
        // Seed 11 rolls both internal-security agents (a cover) and others (Cover " ").
        QTest::addRow("a batch with agents and others") << "11" << 20;
    }
    void rolledFilesLoadBackAndSaveIdentically()
    {
        QFETCH(QString, seed);
        QFETCH(int, count);
        QTemporaryDir rolled;
        QTemporaryDir saved;
        QVERIFY(rolled.isValid() && saved.isValid());
        const testing::RollRun run =
            testing::RunRollProcess({"--seed", seed, "-n", QString::number(count), "-o", rolled.path()});
        QCOMPARE(run.status, 0);

        const std::vector<CharacterRecordType> records = roll::RollCharacters(seed.toULongLong(), count);
        int agents = 0;
        for (size_t i = 0; i < records.size(); ++i) {
            const CharacterRecordType &record = records[i];
            agents += record.Service == kInternalSecurity;
            // The name of a repeated character gets a suffix; none repeats in these batches.
            const QString file = rolled.filePath(QString::fromStdString(roll::CharacterFileName(record.Name)));

            CharacterRecord = {};
            Click(gui_->main->cmdLoad, file);
            QCOMPARE(gui_->main->Label1->text(), file + " loaded.");
            QVERIFY2(CharacterRecord == record, record.Name.c_str());

            const QString again = saved.filePath(QString::number(i) + ".tbl");
            Click(gui_->main->cmdSave, again);
            QCOMPARE(gui_->main->Label1->text(), again + " saved.");
            QCOMPARE(testing::ReadWholeFile(again), testing::ReadWholeFile(file));

            // The model's reader agrees with the window.
            CharacterRecordType read;
            const std::string bytes = testing::ReadWholeFile(file).toStdString();
            QCOMPARE(int(ReadCharacterText(bytes, read)), int(ReadStatus::Ok));
            QVERIFY(read == record);
        }
        if (count > 1) {
            QVERIFY(agents > 0);
            QVERIFY(agents < count);
        }
        QVERIFY(gui_->messages.shown.isEmpty());
    }
};

QTEST_MAIN(TestRollFilesWindow)
#include "test_roll_files_window.moc"
