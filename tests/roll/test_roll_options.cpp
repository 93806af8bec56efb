#include <QtTest>

#include "roll/RollOptions.h"

using namespace quelvane::roll;

namespace {

std::vector<std::string> Split(const QString &line)
{
    std::vector<std::string> args;
    for (const QString &word : line.split(' ', Qt::SkipEmptyParts))
        args.push_back(word.toStdString());
    return args;
}

} // namespace

class TestRollOptions : public QObject {
    Q_OBJECT

private slots:
    void accepted_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("seed"); // empty: none
        QTest::addColumn<QString>("outDir");
        QTest::addColumn<bool>("json");
        QTest::addColumn<QString>("pdf");
        QTest::addRow("nothing: one clock-seeded sheet") << "" << 1 << "" << "" << false << "";
        QTest::addRow("-n with a separate value") << "-n 5" << 5 << "" << "" << false << "";
        QTest::addRow("-n with an attached value") << "-n12" << 12 << "" << "" << false << "";
        QTest::addRow("--count with a separate value") << "--count 10000" << 10000 << "" << ""
                                                       << false << "";
        QTest::addRow("--count= form") << "--count=1" << 1 << "" << "" << false << "";
        QTest::addRow("leading zeros in a count") << "-n 007" << 7 << "" << "" << false << "";
        QTest::addRow("seed zero") << "--seed 0" << 1 << "0" << "" << false << "";
        QTest::addRow("largest seed") << "--seed=18446744073709551615" << 1
                                      << "18446744073709551615" << "" << false << "";
        QTest::addRow("-o and --json") << "-o team --json" << 1 << "" << "team" << true << "";
        QTest::addRow("--out= form") << "--out=/tmp/x" << 1 << "" << "/tmp/x" << false << "";
        QTest::addRow("-o with an attached folder") << "-oteam" << 1 << "" << "team" << false << "";
        QTest::addRow("last count wins") << "-n 3 -n 4" << 4 << "" << "" << false << "";
        QTest::addRow("-- ends the options") << "--json --" << 1 << "" << "" << true << "";
        QTest::addRow("--pdf with a separate value") << "--pdf team.pdf" << 1 << "" << "" << false << "team.pdf";
        QTest::addRow("--pdf= form") << "--pdf=/tmp/sheets.pdf" << 1 << "" << "" << false << "/tmp/sheets.pdf";
        QTest::addRow("everything") << "--json -n 3 --seed 99 --out d --pdf p.pdf" << 3 << "99" << "d" << true << "p.pdf";
    }
    void accepted()
    {
        QFETCH(QString, args);
        QFETCH(int, count);
        QFETCH(QString, seed);
        QFETCH(QString, outDir);
        QFETCH(bool, json);
        QFETCH(QString, pdf);
        const ParseResult result = ParseRollArguments(Split(args));
        QCOMPARE(int(result.outcome), int(ParseOutcome::Roll));
        QVERIFY(result.error.empty());
        QCOMPARE(result.options.count, count);
        QCOMPARE(result.options.seed.has_value(), !seed.isEmpty());
        if (!seed.isEmpty())
            QCOMPARE(QString::number(*result.options.seed), seed);
        QCOMPARE(QString::fromStdString(result.options.outDir), outDir);
        QCOMPARE(result.options.json, json);
        QCOMPARE(QString::fromStdString(result.options.pdfPath), pdf);
    }

    void paper_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("paper");
        QTest::addRow("not given: the locale's") << "--pdf x.pdf" << int(Paper::Locale);
        QTest::addRow("a4") << "--paper a4" << int(Paper::A4);
        QTest::addRow("A4") << "--paper=A4" << int(Paper::A4);
        QTest::addRow("letter") << "--paper letter --pdf x.pdf" << int(Paper::Letter);
        QTest::addRow("Letter") << "--paper=Letter" << int(Paper::Letter);
        QTest::addRow("the last one wins") << "--paper letter --paper a4" << int(Paper::A4);
    }
    void paper()
    {
        QFETCH(QString, args);
        QFETCH(int, paper);
        const ParseResult result = ParseRollArguments(Split(args));
        QCOMPARE(int(result.outcome), int(ParseOutcome::Roll));
        QCOMPARE(int(result.options.paper), paper);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<QString>("error");
        QTest::addRow("unknown long option") << "--colour" << "unknown option '--colour' (see --help)";
        QTest::addRow("unknown long option with a value")
            << "--colour=red" << "unknown option '--colour' (see --help)";
        QTest::addRow("unknown short option") << "-x" << "unknown option '-x' (see --help)";
        QTest::addRow("flag with trailing letters") << "-hv" << "unknown option '-hv' (see --help)";
        QTest::addRow("a stray word") << "team" << "unexpected argument 'team' (see --help)";
        QTest::addRow("a lone dash") << "-" << "unexpected argument '-' (see --help)";
        QTest::addRow("a word after --") << "-- -n" << "unexpected argument '-n' (see --help)";
        QTest::addRow("count zero") << "-n 0" << "count 0 is out of range (1 to 10000)";
        QTest::addRow("count above the limit") << "-n 10001" << "count 10001 is out of range (1 to 10000)";
        QTest::addRow("count far above the limit")
            << "--count=99999999999999999999999" << "count 99999999999999999999999 is out of range (1 to 10000)";
        QTest::addRow("negative count") << "-n -3" << "count '-3' is not a whole number (1 to 10000)";
        QTest::addRow("count with a plus sign") << "-n +3" << "count '+3' is not a whole number (1 to 10000)";
        QTest::addRow("count in words") << "--count ten" << "count 'ten' is not a whole number (1 to 10000)";
        QTest::addRow("fractional count") << "-n 2.5" << "count '2.5' is not a whole number (1 to 10000)";
        QTest::addRow("empty count") << "--count=" << "count '' is not a whole number (1 to 10000)";
        QTest::addRow("count without a value") << "--count" << "option '--count' needs a value";
        QTest::addRow("-n without a value") << "--json -n" << "option '-n' needs a value";
        QTest::addRow("seed in letters")
            << "--seed lucky" << "seed 'lucky' is not a whole number (0 to 18446744073709551615)";
        QTest::addRow("negative seed")
            << "--seed -1" << "seed '-1' is not a whole number (0 to 18446744073709551615)";
        QTest::addRow("hexadecimal seed")
            << "--seed 0x10" << "seed '0x10' is not a whole number (0 to 18446744073709551615)";
        QTest::addRow("seed one past 64 bits")
            << "--seed 18446744073709551616" << "seed 18446744073709551616 is too large (0 to 18446744073709551615)";
        QTest::addRow("seed without a value") << "--seed" << "option '--seed' needs a value";
        QTest::addRow("empty folder") << "--out=" << "option '--out' needs a folder name";
        QTest::addRow("-o without a value") << "-o" << "option '-o' needs a value";
        QTest::addRow("empty PDF name") << "--pdf=" << "option '--pdf' needs a file name";
        QTest::addRow("--pdf without a value") << "-n 2 --pdf" << "option '--pdf' needs a value";
        QTest::addRow("unknown paper") << "--paper legal" << "paper 'legal' is not a4 or letter";
        QTest::addRow("paper in millimetres") << "--paper=210x297" << "paper '210x297' is not a4 or letter";
        QTest::addRow("--paper without a value") << "--pdf x.pdf --paper" << "option '--paper' needs a value";
        QTest::addRow("value given to a flag") << "--json=yes" << "option '--json' takes no value";
        QTest::addRow("first error wins") << "-n 0 --bogus" << "count 0 is out of range (1 to 10000)";
    }
    void refused()
    {
        QFETCH(QString, args);
        QFETCH(QString, error);
        const ParseResult result = ParseRollArguments(Split(args));
        QCOMPARE(int(result.outcome), int(ParseOutcome::Error));
        QCOMPARE(QString::fromStdString(result.error), error);
    }

    void controlCharactersNeverReachTheMessage()
    {
        const ParseResult result = ParseRollArguments({"--seed", "1\x1b[2J\n"});
        QCOMPARE(int(result.outcome), int(ParseOutcome::Error));
        QVERIFY(result.error.find('\x1b') == std::string::npos);
        QVERIFY(result.error.find('\n') == std::string::npos);
        QCOMPARE(QString::fromStdString(result.error),
                 QString("seed '1?[2J?' is not a whole number (0 to 18446744073709551615)"));
    }

    void helpAndVersionActWhereTheyStand_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("outcome");
        QTest::addRow("--help") << "--help" << int(ParseOutcome::Help);
        QTest::addRow("-h") << "-h" << int(ParseOutcome::Help);
        QTest::addRow("--version") << "--version" << int(ParseOutcome::Version);
        QTest::addRow("help before a bad option") << "--help --bogus" << int(ParseOutcome::Help);
        QTest::addRow("bad option before help") << "--bogus --help" << int(ParseOutcome::Error);
        QTest::addRow("version after good options") << "-n 3 --version" << int(ParseOutcome::Version);
    }
    void helpAndVersionActWhereTheyStand()
    {
        QFETCH(QString, args);
        QFETCH(int, outcome);
        QCOMPARE(int(ParseRollArguments(Split(args)).outcome), outcome);
    }

    void helpNamesEveryOption()
    {
        const QString help = QString::fromStdString(HelpText());
        for (const char *option : {"-n, --count N", "--seed S", "-o, --out DIR", "--pdf FILE", "--paper P", "--json", "--help",
                                   "--version"})
            QVERIFY2(help.contains(option), option);
    }
};

QTEST_GUILESS_MAIN(TestRollOptions)
#include "test_roll_options.moc"
