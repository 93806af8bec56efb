#include <QtTest>

#include <random>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "model/CharacterFile.h"
#include "model/modTarvock.h"
#include "model/Random.h"

using namespace quelvane;
using namespace quelvane::testing;

Q_DECLARE_METATYPE(quelvane::ReadStatus)

namespace {

// A record's five texts, named, for rows that set them all.
struct Texts {
    std::string name, service, cover, mutant, secret;
};

void SetTexts(CharacterRecordType &r, const Texts &texts)
{
    r.Name = texts.name;
    r.Service = texts.service;
    r.Cover = texts.cover;
    r.Mutant = texts.mutant;
    r.Secret = texts.secret;
}

// The record behind tests/model/data/golden-record.tbl: both ends of the number range, a
// negative value, a text with a comma, the single-space cover and an empty text.
CharacterRecordType GoldenRecord()
{
    CharacterRecordType r;
    const int16_t numbers[16] = {20, 5, -1, 0, 32767, -32768, 12, 7, 65, 2, 1, 3, 4, 5, 2, 1};
    for (int i = 0; i < 16; ++i)
        r.*(kFields[i].number) = numbers[i];
    SetTexts(r, {.name = "ABC-R-CEA",
                 .service = "Production, Logistics & Commissary",
                 .cover = " ",
                 .mutant = "X-Ray Vision",
                 .secret = ""});
    const int16_t skills[kSkillCount] = {4, 3, 8, 3, 3, 10, 2, 7, 2, 2, 6, 2, 2, 5, 2, 2, 2,
                                         9, 4, 4, 4, 1, 4, 4, 4, 1, 1, 6, 1, 1, 1, 1, 1, -7,
                                         1, 100, 5, 5, 5, 8, 5, 5, 5, 5, 5, 5, 5, 5, 10, 5};
    for (int n = 1; n <= kSkillCount; ++n)
        Skill(r, n) = skills[n - 1];
    return r;
}

QByteArray GoldenBytes()
{
    QFile file(QStringLiteral(TEST_DATA_DIR "/golden-record.tbl"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("golden file missing");
    return file.readAll();
}

// The golden file's 71 lines, without their line ends.
QList<QByteArray> GoldenLines()
{
    QList<QByteArray> lines = GoldenBytes().split('\n');
    lines.removeLast(); // after the final line end
    for (QByteArray &line : lines)
        line.chop(1); // the CR
    return lines;
}

QByteArray Join(const QList<QByteArray> &lines, const QByteArray &end = "\r\n")
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + end;
    return out;
}

// The golden file with 1-based line n replaced.
QByteArray GoldenWithLine(int n, const QByteArray &content)
{
    QList<QByteArray> lines = GoldenLines();
    lines[n - 1] = content;
    return Join(lines);
}

// The golden record with one field set from its text form.
CharacterRecordType GoldenWith(const char *field, const QByteArray &value)
{
    CharacterRecordType r = GoldenRecord();
    const int i = FieldIndex(field);
    if (i < 0)
        qFatal("no field %s", field);
    if (kFields[i].kind == FieldKind::Number)
        r.*(kFields[i].number) = static_cast<int16_t>(value.toInt());
    else
        r.*(kFields[i].text) = value.toStdString();
    return r;
}

// The golden record with its five texts replaced.
CharacterRecordType GoldenWith(const Texts &texts)
{
    CharacterRecordType r = GoldenRecord();
    SetTexts(r, texts);
    return r;
}

// Field-by-field differences, empty when the records are equal.
QString Differences(const CharacterRecordType &actual, const CharacterRecordType &expected)
{
    QStringList out;
    for (const FieldDef &field : kFields) {
        if (field.kind == FieldKind::Number) {
            if (actual.*(field.number) != expected.*(field.number))
                out << QStringLiteral("%1: %2, expected %3").arg(QLatin1String(field.name))
                           .arg(actual.*(field.number)).arg(expected.*(field.number));
        } else if (actual.*(field.text) != expected.*(field.text)) {
            out << QStringLiteral("%1: [%2], expected [%3]").arg(QLatin1String(field.name),
                       QString::fromLatin1(QByteArray::fromStdString(actual.*(field.text)).toPercentEncoding(" ")),
                       QString::fromLatin1(QByteArray::fromStdString(expected.*(field.text)).toPercentEncoding(" ")));
        }
    }
    return out.join(QStringLiteral("; "));
}

// A record unlike any the tests read, to see that a failed read leaves it alone.
CharacterRecordType Sentinel()
{
    CharacterRecordType r;
    for (const FieldDef &field : kFields) {
        if (field.kind == FieldKind::Number)
            r.*(field.number) = -999;
        else
            r.*(field.text) = "untouched";
    }
    return r;
}

std::string_view View(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

class TestCharacterFile : public QObject {
    Q_OBJECT

private slots:
    void init() { CharacterRecord = {}; }

    void writerMatchesTheGoldenFileByteForByte()
    {
        const std::string written = WriteCharacterText(GoldenRecord());
        QCOMPARE(QByteArray::fromStdString(written), GoldenBytes());
    }

    void writerFormOfEveryLine_data()
    {
        QTest::addColumn<quint64>("seed");
        for (quint64 seed : {1ull, 2ull, 77ull, 4096ull, 123456789ull})
            QTest::addRow("generated, seed %llu", seed) << seed;
    }
    void writerFormOfEveryLine()
    {
        QFETCH(quint64, seed);
        const CharacterRecordType record = Generated(seed);
        const QByteArray bytes = QByteArray::fromStdString(WriteCharacterText(record));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), qsizetype(kFieldCount));
        QCOMPARE(bytes.count('\r'), qsizetype(kFieldCount));
        QCOMPARE(bytes.count('\n'), qsizetype(kFieldCount));
        const QList<QByteArray> lines = bytes.chopped(1).split('\n');
        QCOMPARE(lines.size(), qsizetype(kFieldCount));
        static const QRegularExpression number(QStringLiteral("^(0|-?[1-9][0-9]*)\r$"));
        static const QRegularExpression text(QStringLiteral("^\"[^\"\r\n]*\"\r$"));
        for (int i = 0; i < kFieldCount; ++i) {
            const QString line = QString::fromLatin1(lines[i]);
            const auto &pattern = kFields[i].kind == FieldKind::Number ? number : text;
            QVERIFY2(pattern.match(line).hasMatch(), qPrintable(QStringLiteral("line %1: %2").arg(i + 1).arg(line)));
        }
    }

    void emptyRecordIsSixteenZerosFiveEmptyTextsFiftyZeros()
    {
        QByteArray expected = QByteArray("0\r\n").repeated(16) + QByteArray("\"\"\r\n").repeated(5)
                              + QByteArray("0\r\n").repeated(50);
        QCOMPARE(QByteArray::fromStdString(WriteCharacterText({})), expected);
        CharacterRecordType read = Sentinel();
        QCOMPARE(ReadCharacterText(View(expected), read), ReadStatus::Ok);
        QVERIFY(read == CharacterRecordType{});
    }

    void saveThenLoadGivesTheRecordBack_data()
    {
        QTest::addColumn<CharacterRecordType>("record");
        QTest::addRow("empty record") << CharacterRecordType{};
        QTest::addRow("golden record") << GoldenRecord();
        for (quint64 seed : {3ull, 9ull, 2024ull, 987654321ull})
            QTest::addRow("generated, seed %llu", seed) << Generated(seed);
        QTest::addRow("double quotes inside texts")
            << GoldenWith(Texts{.name = "O\"Neil", .service = "\"", .cover = "\"\"",
                                .mutant = "say \"hi\", then \"\"go\"\"", .secret = "\",\""});
        QTest::addRow("blanks and commas")
            << GoldenWith(Texts{.name = "  leading and trailing  ", .service = "a,b,,c",
                                .cover = "\t", .mutant = ",", .secret = " , "});
        QTest::addRow("bytes of any code page")
            << GoldenWith(Texts{.name = "Caf\xE9 \x80\x93\x94",        // Windows-1252, not UTF-8
                                .service = "\xC3\xA9t\xC3\xA9",          // UTF-8
                                .cover = "ctrl\x01\x1f" "byte",         // NUL alone marks a binary file
                                .mutant = "\xFF\xFE\x81\x8D",
                                .secret = "\xC3"});                     // a cut UTF-8 sequence
        CharacterRecordType r = GoldenRecord();
        r.Name = std::string(100000, 'N');
        QTest::addRow("a long text") << r;
    }
    void saveThenLoadGivesTheRecordBack()
    {
        QFETCH(CharacterRecordType, record);
        const std::string written = WriteCharacterText(record);
        CharacterRecordType read = Sentinel();
        QCOMPARE(ReadCharacterText(written, read), ReadStatus::Ok);
        const QString diff = Differences(read, record);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(WriteCharacterText(read), written);
    }

    void readerRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<ReadStatus>("status");
        QTest::addColumn<CharacterRecordType>("expected"); // when Ok

        const auto ok = ReadStatus::Ok;
        QTest::addRow("the golden file") << GoldenBytes() << ok << GoldenRecord();

        // Numbers.
        QTest::addRow("letters for a number read 0") << GoldenWithLine(1, "abc") << ok << GoldenWith("Strength", "0");
        QTest::addRow("digits then letters read 0") << GoldenWithLine(1, "12abc") << ok << GoldenWith("Strength", "0");
        QTest::addRow("a fraction reads 0") << GoldenWithLine(1, "3.5") << ok << GoldenWith("Strength", "0");
        QTest::addRow("a lone minus reads 0") << GoldenWithLine(1, "-") << ok << GoldenWith("Strength", "0");
        QTest::addRow("an empty line reads 0") << GoldenWithLine(2, "") << ok << GoldenWith("Endurance", "0");
        QTest::addRow("plus sign") << GoldenWithLine(1, "+7") << ok << GoldenWith("Strength", "7");
        QTest::addRow("leading zeros") << GoldenWithLine(1, "0007") << ok << GoldenWith("Strength", "7");
        QTest::addRow("minus zero") << GoldenWithLine(3, "-0") << ok << GoldenWith("Agility", "0");
        QTest::addRow("32767 fits") << GoldenWithLine(71, "32767") << ok << GoldenWith("Survival", "32767");
        QTest::addRow("-32768 fits") << GoldenWithLine(71, "-32768") << ok << GoldenWith("Survival", "-32768");
        QTest::addRow("out-of-range game value kept") << GoldenWithLine(1, "99") << ok << GoldenWith("Strength", "99");
        QTest::addRow("blanks before a number") << GoldenWithLine(1, "  \t 42") << ok << GoldenWith("Strength", "42");
        QTest::addRow("a blank ends a number") << GoldenWithLine(1, "42 17") << ok << GoldenWith("Strength", "42");
        QTest::addRow("blanks after a number") << GoldenWithLine(22, "6   ") << ok << GoldenWith("ForceSword", "6");
        QTest::addRow("32768 fails") << GoldenWithLine(1, "32768") << ReadStatus::NumberOutOfRange << CharacterRecordType{};
        QTest::addRow("-32769 fails") << GoldenWithLine(40, "-32769") << ReadStatus::NumberOutOfRange << CharacterRecordType{};
        QTest::addRow("65536 fails") << GoldenWithLine(1, "65536") << ReadStatus::NumberOutOfRange << CharacterRecordType{};
        QTest::addRow("a hundred digits fail") << GoldenWithLine(71, QByteArray(100, '9')) << ReadStatus::NumberOutOfRange << CharacterRecordType{};
        QTest::addRow("out of range in the last field fails") << GoldenWithLine(71, "40000") << ReadStatus::NumberOutOfRange << CharacterRecordType{};

        // Texts.
        QTest::addRow("quoted commas") << GoldenWithLine(17, "\"A,B, C\"") << ok << GoldenWith("Name", "A,B, C");
        QTest::addRow("the single-space cover") << GoldenWithLine(19, "\" \"") << ok << GoldenWith("Cover", " ");
        QTest::addRow("an unquoted blank is no text") << GoldenWithLine(19, " ") << ok << GoldenWith("Cover", "");
        QTest::addRow("empty quotes") << GoldenWithLine(18, "\"\"") << ok << GoldenWith("Service", "");
        QTest::addRow("unquoted text") << GoldenWithLine(17, "Plain Name") << ok << GoldenWith("Name", "Plain Name");
        QTest::addRow("unquoted text loses trailing blanks") << GoldenWithLine(17, "  Mystics  ") << ok << GoldenWith("Name", "Mystics");
        QTest::addRow("unquoted text keeps a quote") << GoldenWithLine(17, "O\"Neil") << ok << GoldenWith("Name", "O\"Neil");
        QTest::addRow("doubled quote is one quote") << GoldenWithLine(17, "\"say \"\"hi\"\"\"") << ok << GoldenWith("Name", "say \"hi\"");
        QTest::addRow("blanks before a quoted text") << GoldenWithLine(20, "   \" x \"") << ok << GoldenWith("Mutant", " x ");
        QTest::addRow("anything after the closing quote ignored") << GoldenWithLine(17, "\"Abc\" junk\"") << ok << GoldenWith("Name", "Abc");
        QTest::addRow("missing closing quote ends at the line end") << GoldenWithLine(17, "\"Abc") << ok << GoldenWith("Name", "Abc");
        QTest::addRow("quoted number reads 0") << GoldenWithLine(1, "\"12\"") << ok << GoldenWith("Strength", "0");

        // Separators and length.
        {
            QList<QByteArray> lines = GoldenLines();
            QTest::addRow("all fields on one line, by commas") << lines.join(',') << ok << GoldenRecord();
            QTest::addRow("commas with blanks") << lines.join(" ,  ") + "\r\n" << ok << GoldenRecord();
            QTest::addRow("LF line ends") << Join(lines, "\n") << ok << GoldenRecord();
            QTest::addRow("CR line ends") << Join(lines, "\r") << ok << GoldenRecord();
            QTest::addRow("no line end after the last field") << Join(lines).chopped(2) << ok << GoldenRecord();
            QTest::addRow("fields after the 71st ignored") << Join(lines) + "1\r\n\"x\"\r\n99999\r\n" << ok << GoldenRecord();
            QTest::addRow("junk after the 71st field ignored") << Join(lines) + QByteArray(5000, '~') << ok << GoldenRecord();
            QList<QByteArray> split = lines;
            split[0] = "20,5";
            split.removeAt(1);
            QTest::addRow("comma and line end mixed") << Join(split) << ok << GoldenRecord();
            QTest::addRow("70 lines end early") << Join(lines.mid(0, 70)) << ReadStatus::EndedEarly << CharacterRecordType{};
            QTest::addRow("70 lines and a blank end early") << Join(lines.mid(0, 70)) + "  " << ReadStatus::EndedEarly << CharacterRecordType{};
            QTest::addRow("20 lines end early") << Join(lines.mid(0, 20)) << ReadStatus::EndedEarly << CharacterRecordType{};
            QTest::addRow("a lone line end ends early") << QByteArray("\r\n") << ReadStatus::EndedEarly << CharacterRecordType{};
            QTest::addRow("one blank ends early") << QByteArray(" ") << ReadStatus::EndedEarly << CharacterRecordType{};
            QTest::addRow("empty file") << QByteArray() << ReadStatus::Empty << CharacterRecordType{};
            const QByteArray bom = "\xEF\xBB\xBF";
            QTest::addRow("a byte-order mark before field 1 is skipped") << bom + GoldenBytes() << ok << GoldenRecord();
            QTest::addRow("a byte-order mark before comma-separated fields") << bom + lines.join(',') << ok << GoldenRecord();
            QTest::addRow("a byte-order mark alone is an empty file") << bom << ReadStatus::Empty << CharacterRecordType{};
            QTest::addRow("a byte-order mark and a line end end early") << bom + "\r\n" << ReadStatus::EndedEarly << CharacterRecordType{};
            QTest::addRow("half a byte-order mark is part of field 1") << QByteArray("\xEF\xBB") + GoldenBytes() << ok << GoldenWith("Strength", "0");
            QTest::addRow("two byte-order marks: the second is part of field 1") << bom + bom + GoldenBytes() << ok << GoldenWith("Strength", "0");
            QTest::addRow("a byte-order mark inside a text is kept")
                << GoldenWithLine(17, "\"" + bom + "ABC\"") << ok << GoldenWith("Name", bom + "ABC");
        }
    }
    void readerRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(ReadStatus, status);
        QFETCH(CharacterRecordType, expected);
        CharacterRecordType read = Sentinel();
        QCOMPARE(ReadCharacterText(View(file), read), status);
        if (status == ReadStatus::Ok) {
            const QString diff = Differences(read, expected);
            QVERIFY2(diff.isEmpty(), qPrintable(diff));
        } else {
            QVERIFY2(read == Sentinel(), "a failed read changed the record");
        }
    }

    // Every binary row would read Ok but for its NUL bytes: each carries the 71 golden lines.
    void binaryFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("refused");
        const QByteArray golden = GoldenBytes();
        const QByteArray nul(1, '\0');

        QTest::addRow("PNG signature and header chunk")
            << QByteArray("\x89PNG\r\n\x1a\n") + nul + nul + nul + "\rIHDR" + nul + "\x01\r\n" + golden << true;
        QTest::addRow("PDF with a binary stream after the record")
            << "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n" + golden + "stream\n\x78\x9c" + nul + "\x01\nendstream\n" << true;
        QTest::addRow("ELF program header")
            << QByteArray("\x7F" "ELF\x02\x01\x01") + QByteArray(9, '\0') + "\n" + golden << true;
        {
            // What Notepad calls "Unicode": every ASCII letter followed by a NUL.
            const QString text = QString::fromLatin1(golden);
            QByteArray utf16("\xFF\xFE");
            for (QChar c : text)
                utf16 += char(c.unicode() & 0xFF) + QByteArray(1, char(c.unicode() >> 8));
            QTest::addRow("UTF-16 text") << utf16 << true;
        }
        QTest::addRow("one NUL inside the name") << GoldenWithLine(17, "\"AB" + nul + "C\"") << true;
        QTest::addRow("one NUL far after field 71") << golden + QByteArray(100000, 'x') + nul << true;

        // What a hand edit may hold stays readable.
        QByteArray readme;
        for (int i = 0; i < 40; ++i)
            readme += "# Heading " + QByteArray::number(i) + "\n\nSome prose, with commas, and \"quotes\".\n";
        QTest::addRow("README-like prose") << readme << false;
        QTest::addRow("Windows-1252 letters") << GoldenWithLine(17, "\"Ren\xE9" "e \x80\"") << false;
        QTest::addRow("other control characters") << GoldenWithLine(17, "\"A\x01\x1a\x7F" "B\"") << false;
        QTest::addRow("a DOS end-of-file mark") << golden + "\x1a" << false;
    }
    void binaryFilesAreRefused()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, refused);
        CharacterRecordType read = Sentinel();
        const ReadStatus status = ReadCharacterText(View(file), read);
        if (refused) {
            QCOMPARE(status, ReadStatus::NotText);
            QVERIFY2(read == Sentinel(), "a refused file changed the record");
        } else {
            QCOMPARE(status, ReadStatus::Ok);
        }
    }

    void byteOrderMarkIsNotWrittenBack()
    {
        CharacterRecordType read;
        QCOMPARE(ReadCharacterText(View("\xEF\xBB\xBF" + GoldenBytes()), read), ReadStatus::Ok);
        QCOMPARE(QByteArray::fromStdString(WriteCharacterText(read)), GoldenBytes());
    }

    void sizeCap_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<ReadStatus>("status");
        const QByteArray golden = GoldenBytes();
        const qsizetype cap = qsizetype(kMaxCharacterFileBytes);

        QTest::addRow("a line longer than the cap") << QByteArray(cap + 1, 'x') << ReadStatus::TooLarge;
        QTest::addRow("a text longer than the cap")
            << GoldenWithLine(17, "\"" + QByteArray(cap, 'x') + "\"") << ReadStatus::TooLarge;
        QTest::addRow("blanks up to the cap")
            << QByteArray(cap - 10, ' ') + golden << ReadStatus::TooLarge;
        QTest::addRow("a full file after blanks within the cap")
            << QByteArray(cap - golden.size(), ' ') + golden << ReadStatus::Ok;
        QTest::addRow("a short file near the cap")
            << QByteArray(cap - 10, ' ') + "1\r\n2\r\n" << ReadStatus::EndedEarly;
        QTest::addRow("junk beyond the cap after 71 fields") << golden + QByteArray(cap + 10, 'z') << ReadStatus::Ok;
        // The last number's digits run across the cap: reading "3" and stopping would be wrong.
        QByteArray straddle = Join(GoldenLines().mid(0, 70));
        straddle += QByteArray(cap - straddle.size() - 1, ' ') + "32";
        QTest::addRow("the last number cut by the cap") << straddle << ReadStatus::TooLarge;
        QByteArray fits = Join(GoldenLines().mid(0, 70));
        fits += QByteArray(cap - fits.size() - 2, ' ') + "5,6";
        QTest::addRow("the last number ends at the cap") << fits << ReadStatus::Ok;
    }
    void sizeCap()
    {
        QFETCH(QByteArray, file);
        QFETCH(ReadStatus, status);
        CharacterRecordType read = Sentinel();
        QCOMPARE(ReadCharacterText(View(file), read), status);
        QCOMPARE(read == Sentinel(), status != ReadStatus::Ok);
    }

    void lastNumberAtTheCapReadsWhole()
    {
        // Cut naively, "32" at the cap would be read as "3".
        QByteArray fits = Join(GoldenLines().mid(0, 70));
        fits += QByteArray(qsizetype(kMaxCharacterFileBytes) - fits.size() - 2, ' ') + "32";
        QCOMPARE(fits.size(), qsizetype(kMaxCharacterFileBytes));
        CharacterRecordType read;
        QCOMPARE(ReadCharacterText(View(fits), read), ReadStatus::Ok);
        QCOMPARE(read.Survival, int16_t(32));
    }

    void anyBytesReadOrFailCleanly_data()
    {
        QTest::addColumn<int>("seed");
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("alphabet"); // empty: any byte
        for (int seed = 1; seed <= 4; ++seed) {
            QTest::addRow("binary, seed %d", seed) << seed << 4096 << QByteArray();
            QTest::addRow("separators and quotes, seed %d", seed) << seed << 600 << QByteArray("\"\",\r\n 0123456789-abc");
        }
    }
    void anyBytesReadOrFailCleanly()
    {
        QFETCH(int, seed);
        QFETCH(int, size);
        QFETCH(QByteArray, alphabet);
        std::mt19937 random(seed);
        int loaded = 0;
        for (int round = 0; round < 200; ++round) {
            QByteArray bytes(size, '\0');
            for (char &c : bytes) {
                const auto value = random();
                c = alphabet.isEmpty() ? char(value & 0xFF) : alphabet.at(int(value % alphabet.size()));
            }
            CharacterRecordType read = Sentinel();
            const ReadStatus status = ReadCharacterText(View(bytes), read);
            if (status != ReadStatus::Ok) {
                QVERIFY(read == Sentinel());
                continue;
            }
            ++loaded;
            // Whatever was read saves and reads back the same.
            const std::string written = WriteCharacterText(read);
            CharacterRecordType again;
            QCOMPARE(ReadCharacterText(written, again), ReadStatus::Ok);
            const QString diff = Differences(again, read);
            QVERIFY2(diff.isEmpty(), qPrintable(diff));
        }
        if (!alphabet.isEmpty())
            QVERIFY2(loaded > 0, "no random file read at all: the case tests nothing");
    }
};

QTEST_GUILESS_MAIN(TestCharacterFile)
#include "test_character_file.moc"
