#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <csignal>
#include <sstream>
#include <set>

#include <sys/resource.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "model/CharacterFile.h"
#include "model/modTarvock.h"
#include "roll/OutputFiles.h"
#include "roll/RecordJson.h"
#include "roll/RollCommand.h"
#include "roll/SheetText.h"

using namespace quelvane;
using namespace quelvane::roll;

namespace {

// A record whose every number differs, so a value shown in the wrong place is noticed.
CharacterRecordType NumberedRecord()
{
    CharacterRecordType record;
    for (int i = 0; i < kFieldCount; ++i) {
        if (kFields[i].kind == FieldKind::Number)
            record.*(kFields[i].number) = int16_t(100 + i);
    }
    record.Name = "ABC-R-CDE";
    record.Service = "Armed Forces";
    record.Cover = " ";
    record.Mutant = "Charm";
    record.Secret = "Romantics";
    return record;
}

QStringList Lines(const std::string &text) { return QString::fromStdString(text).split('\n'); }

// The value at the end of a "Label:   12" cell that starts with `label` within `line`.
QString ValueAfter(const QString &line, const QString &label)
{
    const int at = line.indexOf(label);
    if (at < 0)
        return {};
    const QString rest = line.mid(at + label.size()).trimmed();
    return rest.section(' ', 0, 0);
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRollOutput : public QObject {
    Q_OBJECT

private slots:
    void init() { CharacterRecord = {}; }

    // ---- the text sheet ----

    void serviceGroupFollowsThePrintedSheet_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("cover");
        QTest::addColumn<QString>("shown");
        QTest::addRow("agent shows the cover with (IS)")
            << "Internal Security" << "Armed Forces" << "Armed Forces (IS)";
        QTest::addRow("other groups show themselves") << "HPD & MC" << " " << "HPD & MC";
        QTest::addRow("other letter case gets no suffix")
            << "internal security" << "Armed Forces" << "internal security";
        QTest::addRow("agent with a blank cover") << "Internal Security" << " " << "  (IS)";
        QTest::addRow("agent with an empty cover") << "Internal Security" << "" << " (IS)";
        QTest::addRow("cover ignored outside internal security")
            << "Power Services" << "Armed Forces" << "Power Services";
    }
    void serviceGroupFollowsThePrintedSheet()
    {
        QFETCH(QString, service);
        QFETCH(QString, cover);
        QFETCH(QString, shown);
        CharacterRecordType record;
        record.Service = service.toStdString();
        record.Cover = cover.toStdString();
        QCOMPARE(QString::fromStdString(ServiceGroupText(record)), shown);
        QVERIFY(QString::fromStdString(SheetText(record)).contains("Service Group:    " + shown));
    }

    void internalSecurityNeverPrinted()
    {
        CharacterRecordType record = NumberedRecord();
        record.Service = kInternalSecurity;
        record.Cover = "Research & Design";
        const QString sheet = QString::fromStdString(SheetText(record));
        QVERIFY(!sheet.contains("Internal Security"));
        QVERIFY(sheet.contains("Research & Design (IS)"));
    }

    void skillColumnsHoldEverySkillOnceUnderItsBase()
    {
        std::vector<SkillRow> rows = LeftSkillColumn();
        rows.insert(rows.end(), RightSkillColumn().begin(), RightSkillColumn().end());
        QCOMPARE(int(rows.size()), kSkillCount + 5);

        std::set<int> seen;
        int16_t CharacterRecordType::*base = nullptr;
        int bases = 0;
        for (const SkillRow &row : rows) {
            if (row.isBase) {
                base = row.field;
                ++bases;
                continue;
            }
            QVERIFY2(base != nullptr, row.label.c_str());
            int n = 0;
            for (int k = 1; k <= kSkillCount; ++k) {
                if (kFields[kFirstSkillField + k - 1].number == row.field)
                    n = k;
            }
            QVERIFY2(n != 0, row.label.c_str());
            QVERIFY2(seen.insert(n).second, row.label.c_str());
            // The heading above a skill is the base its group starts from.
            const auto group = std::find_if(kSkillGroups.begin(), kSkillGroups.end(),
                                            [&](const SkillGroup &g) {
                                                return n >= g.firstSkill && n <= g.lastSkill;
                                            });
            QVERIFY2(group->base == base, row.label.c_str());
        }
        QCOMPARE(int(seen.size()), kSkillCount);
        QCOMPARE(bases, 5);
        // As on the printed sheet: chutzpah, agility, dexterity left; mechanical, moxie right.
        QCOMPARE(LeftSkillColumn().front().field, &CharacterRecordType::ChuBase);
        QCOMPARE(RightSkillColumn().front().field, &CharacterRecordType::MechBase);
        QCOMPARE(RightSkillColumn().back().field, &CharacterRecordType::Survival);
    }

    void everyValueStandsBesideItsLabel_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("field");
        QTest::addRow("Strength") << "Strength:" << "Strength";
        QTest::addRow("Carry") << "Carrying Capacity:" << "Carry";
        QTest::addRow("Damage") << "Damage Bonus:" << "Damage";
        QTest::addRow("Macho") << "Macho Bonus:" << "Macho";
        QTest::addRow("Mechanical aptitude") << "Mechanical Apt.:" << "MechApt";
        QTest::addRow("Power") << "Power:" << "Power";
        QTest::addRow("Agility base beside Agility") << "Agility Skill Base:" << "AglBase";
        QTest::addRow("Chutzpah base in the attributes") << "Chu Skill Base:" << "ChuBase";
        QTest::addRow("Chutzpah base over its skills") << "Chutzpah Skill Base:" << "ChuBase";
        QTest::addRow("Mech base over its skills") << "Mech Skill Base:" << "MechBase";
        QTest::addRow("Missle keeps its spelling") << "Prim Missle Wpns:" << "Missle";
        QTest::addRow("ampersand shown once") << "Autocar Op. & Maint.:" << "Autocar";
        QTest::addRow("Vulturecraft") << "Vulturecraft Op/Maint:" << "Vulturecraft";
        QTest::addRow("Projectile, no colon as printed") << "Projectile Weapons" << "ProjectileWeapons";
        QTest::addRow("Security, no colon as printed") << "Security" << "Security";
        QTest::addRow("Survival, no colon as printed, last of the moxie skills") << "Survival" << "Survival";
    }
    void everyValueStandsBesideItsLabel()
    {
        QFETCH(QString, label);
        QFETCH(QString, field);
        const CharacterRecordType record = NumberedRecord();
        const int index = FieldIndex(field.toStdString());
        QVERIFY(index >= 0);
        const QString expected = QString::number(record.*(kFields[index].number));
        const QStringList lines = Lines(SheetText(record));
        int found = 0;
        for (const QString &line : lines) {
            // A label may also be the tail of a longer one ("Security:" in no other label).
            const int at = line.indexOf(label);
            if (at < 0 || (at > 0 && line[at - 1] != ' '))
                continue;
            // Captions as the printed sheet has them: none gains a colon on the way.
            QVERIFY2(line.mid(at + label.size(), 1) != ":", qPrintable(line));
            ++found;
            QCOMPARE(ValueAfter(line, label), expected);
        }
        QVERIFY2(found >= 1, qPrintable(label));
    }

    void negativeAndWideNumbersKeepTheColumnsApart()
    {
        CharacterRecordType record = NumberedRecord();
        record.Strength = -32768;
        record.Bootlicking = -3;
        const QStringList lines = Lines(SheetText(record));
        const QString strength = lines.filter("Strength:").front();
        QCOMPARE(ValueAfter(strength, "Strength:"), QString("-32768"));
        QCOMPARE(ValueAfter(strength, "Carrying Capacity:"), QString::number(record.Carry));
        QCOMPARE(ValueAfter(lines.filter("Bootlicking:").front(), "Bootlicking:"), QString("-3"));
    }

    void emptyRecordPrintsZerosAndBlanks()
    {
        const QStringList lines = Lines(SheetText(CharacterRecordType{}));
        for (const QString &line : lines) {
            QVERIFY2(!line.endsWith(' '), qPrintable(line));
            QVERIFY2(line.size() <= 79, qPrintable(line));
        }
        QVERIFY(lines.contains("  Name:"));
        QCOMPARE(ValueAfter(lines.filter("Survival").front(), "Survival"), QString("0"));
        // Sixteen attribute cells, five base headings over the skills, fifty skills.
        int zeros = 0;
        auto cells = QRegularExpression("[:a-z]\\s+0(?= |$)", QRegularExpression::MultilineOption)
                         .globalMatch(lines.join('\n'));
        for (; cells.hasNext(); cells.next())
            ++zeros;
        QCOMPARE(zeros, 16 + 5 + kSkillCount);
    }

    // ---- JSON ----

    void jsonStrings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("json");
        QTest::addRow("plain") << QByteArray("HPD & MC") << QByteArray("\"HPD & MC\"");
        QTest::addRow("single space") << QByteArray(" ") << QByteArray("\" \"");
        QTest::addRow("empty") << QByteArray("") << QByteArray("\"\"");
        QTest::addRow("quote and backslash") << QByteArray("a\"b\\c") << QByteArray("\"a\\\"b\\\\c\"");
        QTest::addRow("line ends and tab") << QByteArray("a\r\nb\tc") << QByteArray("\"a\\r\\nb\\tc\"");
        QTest::addRow("NUL and escape") << QByteArray("a\0b\x1b", 4) << QByteArray("\"a\\u0000b\\u001b\"");
        QTest::addRow("DEL") << QByteArray("\x7f") << QByteArray("\"\\u007f\"");
        QTest::addRow("valid two-byte UTF-8") << QByteArray("caf\xc3\xa9") << QByteArray("\"caf\xc3\xa9\"");
        QTest::addRow("valid four-byte UTF-8") << QByteArray("\xf0\x9f\x8e\xb2") << QByteArray("\"\xf0\x9f\x8e\xb2\"");
        QTest::addRow("code-page byte") << QByteArray("caf\xe9") << QByteArray("\"caf\\ufffd\"");
        QTest::addRow("stray continuation") << QByteArray("\x80z") << QByteArray("\"\\ufffdz\"");
        QTest::addRow("overlong slash") << QByteArray("\xc0\xaf") << QByteArray("\"\\ufffd\\ufffd\"");
        QTest::addRow("surrogate half") << QByteArray("\xed\xa0\x80") << QByteArray("\"\\ufffd\\ufffd\\ufffd\"");
        QTest::addRow("beyond U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << QByteArray("\"\\ufffd\\ufffd\\ufffd\\ufffd\"");
        QTest::addRow("cut short at the end") << QByteArray("a\xe2\x82") << QByteArray("\"a\\ufffd\\ufffd\"");
        QTest::addRow("line separator") << QByteArray("\xe2\x80\xa8|\xe2\x80\xa9") << QByteArray("\"\\u2028|\\u2029\"");
    }
    void jsonStrings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, json);
        const std::string out = JsonString(std::string_view(bytes.constData(), size_t(bytes.size())));
        QCOMPARE(QByteArray::fromStdString(out), json);
        // Whatever went in, a JSON reader takes it.
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson("[" + json + "]", &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
    }

    void recordJsonCarriesAllFieldsInFileOrder()
    {
        CharacterRecordType record = NumberedRecord();
        record.Secret = "1st Church of Christ - Computer Programmer";
        record.Mutant = std::string("odd\x01\xff", 5);
        const std::string json = RecordJson(record);
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object.size(), kFieldCount);
        size_t last = 0;
        for (const FieldDef &field : kFields) {
            const QJsonValue value = object.value(field.name);
            if (field.kind == FieldKind::Number)
                QCOMPARE(value.toInt(-1), int(record.*(field.number)));
            else if (std::string(field.name) != "Mutant")
                QCOMPARE(value.toString().toStdString(), record.*(field.text));
            const size_t at = json.find(std::string("\"") + field.name + "\":");
            QVERIFY2(at != std::string::npos && at >= last, field.name);
            last = at;
        }
        QCOMPARE(object.value("Mutant").toString(), QString("odd\u0001\ufffd"));
        QCOMPARE(object.value("Cover").toString(), QString(" "));
    }

    void rollJsonKeepsTheWholeSeed()
    {
        const std::vector<CharacterRecordType> records = RollCharacters(7, 3);
        const std::string json = RollJson(18446744073709551615ull, records);
        QJsonParseError error;
        const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(doc.value("seed").toString(), QString("18446744073709551615"));
        QCOMPARE(doc.value("count").toInt(), 3);
        const QJsonArray characters = doc.value("characters").toArray();
        QCOMPARE(characters.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(characters[i].toObject().value("Name").toString().toStdString(), records[i].Name);
    }

    // ---- rolling ----

    void sameSeedSameCharacters()
    {
        const auto a = RollCharacters(2024, 20);
        const auto b = RollCharacters(2024, 20);
        QVERIFY(a == b);
        // A short run is the start of a longer one: one stream, not one seed per character.
        const auto first5 = RollCharacters(2024, 5);
        QVERIFY(std::equal(first5.begin(), first5.end(), a.begin()));
        QVERIFY(!(a[0] == a[1]));
        QVERIFY(!(RollCharacters(2025, 1)[0] == a[0]));
    }

    void rollingLeavesTheProgramRecordAndSourceAlone()
    {
        RandomSource *before = &CurrentRandomSource();
        RollCharacters(1, 3);
        QCOMPARE(&CurrentRandomSource(), before);
        QVERIFY(CharacterRecord == CharacterRecordType{});
    }

    // ---- the command's steps ----

    void pdfGetsEveryCharacterAndOnlyWhenAsked_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("pdfCalls");
        QTest::addRow("no --pdf") << QStringList{} << 0;
        QTest::addRow("--pdf") << QStringList{"--pdf", "PDF"} << 1;
        QTest::addRow("--pdf with -o and --json") << QStringList{"--pdf", "PDF", "-o", "DIR", "--json"} << 1;
    }
    void pdfGetsEveryCharacterAndOnlyWhenAsked()
    {
        QFETCH(QStringList, extra);
        QFETCH(int, pdfCalls);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::vector<std::string> args = {"--seed", "12", "-n", "4"};
        for (QString arg : extra)
            args.push_back(arg.replace("PDF", dir.filePath("s.pdf")).replace("DIR", dir.path()).toStdString());
        int calls = 0;
        std::ostringstream out, err;
        const int status = RunRoll(args, out, err, [&](std::string &pdf, const auto &records, Paper) {
            ++calls;
            [&] {
                // Drawn in memory: nothing of it on disk until the run has succeeded.
                QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(".pdf"), QStringList());
                QVERIFY(records == RollCharacters(12, 4));
            }();
            pdf = "%PDF drawn";
            return StepResult();
        });
        QCOMPARE(status, kExitOk);
        QCOMPARE(calls, pdfCalls);
        QVERIFY(!out.str().empty());
        if (pdfCalls > 0)
            QCOMPARE(ReadFile(dir.filePath("s.pdf")), QByteArray("%PDF drawn"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name).filter(".pdf"),
                 pdfCalls > 0 ? QStringList{"s.pdf"} : QStringList{});
    }

    // -q: the files and the PDF as without it, nothing on standard output; the seed and what
    // was written stay on standard error.
    void quietRunPrintsNoSheets_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addRow("-q with -o and --pdf") << QStringList{"-q", "-o", "DIR", "--pdf", "PDF"};
        QTest::addRow("--quiet with --json") << QStringList{"--quiet", "--json"};
        QTest::addRow("-q alone") << QStringList{"-q"};
    }
    void quietRunPrintsNoSheets()
    {
        QFETCH(QStringList, extra);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::vector<std::string> args = {"--seed", "21", "-n", "3"};
        for (QString arg : extra)
            args.push_back(arg.replace("PDF", dir.filePath("s.pdf")).replace("DIR", dir.filePath("team")).toStdString());
        std::ostringstream out, err;
        const int status = RunRoll(args, out, err, [](std::string &pdf, const auto &, Paper) {
            pdf = "%PDF drawn";
            return StepResult();
        });
        QCOMPARE(status, kExitOk);
        QCOMPARE(out.str(), std::string());
        const QString said = QString::fromStdString(err.str());
        QVERIFY2(said.startsWith("quelvane-roll: seed 21\n"), qPrintable(said));
        if (extra.contains("-o")) {
            QCOMPARE(QDir(dir.filePath("team")).entryList(QDir::Files).size(), 3);
            QCOMPARE(ReadFile(dir.filePath("s.pdf")), QByteArray("%PDF drawn"));
            QVERIFY2(said.contains("3 files written to") && said.contains("3 pages written to"), qPrintable(said));
        }
    }

    // -o on a terminal: a "files done" line once the run takes a second, cleared at the end;
    // nothing of it where standard error is no terminal.
    void filesProgressOnATerminal_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addRow("a terminal: shown, then cleared") << true;
        QTest::addRow("a pipe: never shown") << false;
    }
    void filesProgressOnATerminal()
    {
        QFETCH(bool, terminal);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        int64_t now = 0;
        TerminalClock clock;
        if (terminal) // each file takes 400 ms of this clock
            clock = [&now] { return now += 400; };
        std::ostringstream out, err;
        const int status = RunRoll({"--seed", "3", "-n", "5", "-q", "-o", dir.filePath("team").toStdString()},
                                   out, err, {}, clock);
        QCOMPARE(status, kExitOk);
        const QString said = QString::fromStdString(err.str());
        QCOMPARE(said.contains("\rquelvane-roll: 5 files done of 5"), terminal);
        QCOMPARE(said.contains("\rquelvane-roll: 3 files done of 5"), terminal);
        // Cleared (blanks, then back to the line's start) before the summary is written.
        if (terminal)
            QVERIFY2(said.contains(QRegularExpression("\\r +\\rquelvane-roll: 5 files written to")), qPrintable(said));
        else
            QVERIFY2(!said.contains('\r'), qPrintable(said));
        QCOMPARE(QDir(dir.filePath("team")).entryList(QDir::Files).size(), 5);
    }

    void failedRunLeavesNothingBehind_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("reason"); // TEAM stands for the PDF's path
        QTest::addRow("the PDF cannot be drawn") << "pdf" << "the disk is full";
        QTest::addRow("standard output refuses the sheets") << "stdout" << "cannot write to standard output";
        QTest::addRow("the PDF cannot be put in place") << "rename" << "cannot write PDF 'TEAM': not a regular file";
    }
    void failedRunLeavesNothingBehind()
    {
        QFETCH(QString, failure);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pdf = dir.filePath("team.pdf");
        {
            QFile old(pdf);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("last week's team");
        }
        const QString folder = dir.filePath("clones"); // missing: the run makes it
        std::ostringstream text, err;
        std::ostream refusing(nullptr); // every write fails, as on a full disk
        std::ostream &out = failure == "stdout" ? refusing : static_cast<std::ostream &>(text);
        const int status = RunRoll({"-n", "3", "-o", folder.toStdString(), "--pdf", pdf.toStdString()}, out, err,
                                   [&](std::string &drawn, const auto &, Paper) -> StepResult {
                                       [&] { QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3); }();
                                       if (failure == "pdf")
                                           return {.failed = true, .message = "the disk is full"};
                                       drawn = "%PDF new";
                                       if (failure == "rename") { // a folder now stands in the way
                                           QFile::remove(pdf);
                                           QDir().mkpath(pdf + "/inside");
                                       }
                                       return {};
                                   });
        QCOMPARE(status, kExitWriteFailed);
        const QString said = QString::fromStdString(err.str());
        QVERIFY2(said.startsWith("quelvane-roll: seed ") && said.count('\n') == 2, qPrintable(said));
        QVERIFY2(said.endsWith("\nquelvane-roll: " + reason.replace("TEAM", pdf) + "\n"), qPrintable(said));
        QVERIFY(!QFile::exists(folder));
        if (failure != "rename")
            QCOMPARE(ReadFile(pdf), QByteArray("last week's team"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"team.pdf"});
    }

    // ---- character files ----

    void fileNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("copy");
        QTest::addColumn<QString>("file");
        QTest::addRow("generated name") << QByteArray("ABC-R-CEA") << 1 << "ABC-R-CEA.tbl";
        QTest::addRow("second copy") << QByteArray("ABC-R-CEA") << 2 << "ABC-R-CEA-2.tbl";
        QTest::addRow("twelfth copy") << QByteArray("ABC-R-CEA") << 12 << "ABC-R-CEA-12.tbl";
        QTest::addRow("empty name") << QByteArray("") << 1 << "Cadrelant.tbl";
        QTest::addRow("slashes cannot leave the folder") << QByteArray("../etc/x") << 1 << "_._etc_x.tbl";
        QTest::addRow("backslash") << QByteArray("a\\b") << 1 << "a_b.tbl";
        QTest::addRow("hidden file") << QByteArray(".profile") << 1 << "_profile.tbl";
        QTest::addRow("control characters") << QByteArray("a\nb\x7f") << 1 << "a_b_.tbl";
        QTest::addRow("spaces kept") << QByteArray("Big Al") << 1 << "Big Al.tbl";
    }
    void fileNames()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, copy);
        QFETCH(QString, file);
        QCOMPARE(QString::fromStdString(CharacterFileName(name.toStdString(), copy)), file);
    }

    void filesMatchTheWriterAndNeverReplaceAFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::vector<CharacterRecordType> records = RollCharacters(31, 3);
        records.push_back(records[0]); // the same name twice in one batch
        const QString taken = dir.filePath(QString::fromStdString(CharacterFileName(records[0].Name)));
        {
            QFile precious(taken);
            QVERIFY(precious.open(QIODevice::WriteOnly));
            precious.write("keep me");
        }
        std::vector<std::string> written;
        const StepResult saved = WriteCharacterFiles(dir.path().toStdString(), records, written);
        QVERIFY2(saved.ok(), saved.message.c_str());
        QCOMPARE(int(written.size()), 4);
        QCOMPARE(ReadFile(taken), QByteArray("keep me"));
        QCOMPARE(QString::fromStdString(written[0]),
                 dir.filePath(QString::fromStdString(CharacterFileName(records[0].Name, 2))));
        QCOMPARE(QString::fromStdString(written[3]),
                 dir.filePath(QString::fromStdString(CharacterFileName(records[0].Name, 3))));
        for (size_t i = 0; i < records.size(); ++i)
            QCOMPARE(ReadFile(QString::fromStdString(written[i])),
                     QByteArray::fromStdString(WriteCharacterText(records[i])));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 5);
    }

    void failedBatchRemovesWhatItWrote()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::vector<CharacterRecordType> records = RollCharacters(5, 3);
        records[2].Name = std::string(300, 'X'); // longer than a file name may be
        std::vector<std::string> written;
        const StepResult saved = WriteCharacterFiles(dir.path().toStdString(), records, written);
        QVERIFY(!saved.ok());
        QVERIFY(saved.message.find("File name too long") != std::string::npos);
        QVERIFY(written.empty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }

    void failedWriteLeavesNoPartFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::vector<CharacterRecordType> records = RollCharacters(5, 2);
        // A file size limit makes the first write stop half-way, as a full disk would.
        rlimit old {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 40;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        std::vector<std::string> written;
        const StepResult saved = WriteCharacterFiles(dir.path().toStdString(), records, written);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!saved.ok());
        QVERIFY2(saved.message.find("File too large") != std::string::npos, saved.message.c_str());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }

    void writableFolder_data()
    {
        QTest::addColumn<QString>("path"); // relative to a fresh temporary folder
        QTest::addColumn<QString>("reason"); // empty: writable
        QTest::addRow("existing folder") << "." << "";
        QTest::addRow("trailing slash") << "./" << "";
        QTest::addRow("missing folder") << "missing" << "No such file or directory";
        QTest::addRow("inside a missing folder") << "missing/deeper" << "No such file or directory";
        QTest::addRow("a file, not a folder") << "plain.txt" << "not a folder";
        QTest::addRow("below a file") << "plain.txt/sub" << "Not a directory";
        QTest::addRow("read-only folder") << "readonly" << "Permission denied";
    }
    void writableFolder()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile(dir.filePath("plain.txt")).open(QIODevice::WriteOnly);
        QString target = dir.filePath(path);
        if (path == "readonly") {
            // Permission bits do not stop root; sysfs refuses new files to everyone.
            if (geteuid() == 0) {
                target = "/sys";
            } else {
                QVERIFY(QDir(dir.path()).mkdir("readonly"));
                QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner);
            }
        }
        const StepResult checked = CheckWritableFolder(target.toStdString());
        QCOMPARE(checked.ok(), reason.isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(QString::fromStdString(checked.message), "cannot write to folder '" + target + "': " + reason);
        // The probe file never stays behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        if (path == "readonly" && geteuid() != 0)
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The checks before a run make no named file where the file system has unnamed ones, so
    // a kill at any moment leaves nothing beside the target.
    void checksNameNoFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(watch >= 0);
        QVERIFY(::inotify_add_watch(watch, QFile::encodeName(dir.path()).constData(), IN_CREATE) >= 0);
        const StepResult folder = CheckWritableFolder(dir.path().toStdString());
        QVERIFY2(folder.ok(), folder.message.c_str());
        const StepResult pdf = CheckPdfPath(dir.filePath("team.pdf").toStdString());
        QVERIFY2(pdf.ok(), pdf.message.c_str());
        char events[4096];
        const ssize_t got = ::read(watch, events, sizeof events);
        const int error = errno;
        ::close(watch);
        QCOMPARE(got, ssize_t(-1));
        QCOMPARE(error, EAGAIN);
    }
};

QTEST_GUILESS_MAIN(TestRollOutput)
#include "test_roll_output.moc"
