#include <QtTest>

#include <cmath>
#include <set>

#include <sys/wait.h>
#include <unistd.h>

#include "ScriptedRandom.h"
#include "model/modTarvock.h"
#include "model/Random.h"

using namespace quelvane;
using quelvane::testing::GenerationScript;
using quelvane::testing::ScriptedRandom;

class TestGenerator : public QObject {
    Q_OBJECT

private:
    // Runs one scripted generation into a fresh record; fails if the script runs short or long.
    CharacterRecordType Generate(const GenerationScript &script)
    {
        ScriptedRandom random;
        script.Load(random);
        const Override scope(RandomSourceSeam, random);
        CharacterRecordType record;
        GenerateInto(record);
        [&] {
            QVERIFY2(!random.exhausted, "the generator drew more fractions than scripted");
            QVERIFY2(random.fractions.empty(), "the generator drew fewer fractions than scripted");
            QCOMPARE(random.reseeds, 1);
        }();
        return record;
    }

private slots:
    void init() { CharacterRecord = {}; }

    void freshRecordIsZeroAndEmpty()
    {
        const CharacterRecordType record;
        for (const FieldDef &field : kFields) {
            if (field.kind == FieldKind::Number)
                QCOMPARE(record.*(field.number), int16_t(0));
            else
                QVERIFY((record.*(field.text)).empty());
        }
    }

    void fieldTableMatchesRecordLayout()
    {
        QCOMPARE(kFields[0].name, "Strength");
        QCOMPARE(kFields[16].name, "Name");
        QCOMPARE(kFields[20].name, "Secret");
        QCOMPARE(kFields[kFirstSkillField].name, "ForceSword");
        QCOMPARE(kFields[41].name, "Missle");
        QCOMPARE(kFields[70].name, "Survival");
        int texts = 0;
        std::set<std::string> names;
        for (const FieldDef &field : kFields) {
            texts += field.kind == FieldKind::Text;
            names.insert(field.name);
        }
        QCOMPARE(texts, 5);
        QCOMPARE(int(names.size()), kFieldCount);
        // Every field is reachable through the table and distinct from the others.
        CharacterRecordType record;
        for (int i = 0; i < kFieldCount; ++i) {
            if (kFields[i].kind == FieldKind::Number)
                record.*(kFields[i].number) = int16_t(i + 1);
        }
        QCOMPARE(record.Strength, int16_t(1));
        QCOMPARE(record.MechBase, int16_t(16));
        QCOMPARE(record.ForceSword, int16_t(22));
        QCOMPARE(record.Survival, int16_t(71));
    }

    void numberText_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::addRow("zero") << 0 << "0";
        QTest::addRow("twenty-five") << 25 << "25";
        QTest::addRow("negative") << -4 << "-4";
        QTest::addRow("largest") << 32767 << "32767";
        QTest::addRow("smallest") << -32768 << "-32768";
    }
    void numberText()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(NumberText(int16_t(value))), text);
    }

    void strengthTables_data()
    {
        QTest::addColumn<int>("strength");
        QTest::addColumn<int>("carry");
        QTest::addColumn<int>("damage");
        QTest::addRow("strength 1") << 1 << 25 << 0;
        QTest::addRow("strength 5") << 5 << 25 << 0;
        QTest::addRow("strength 12") << 12 << 25 << 0;
        QTest::addRow("strength 13") << 13 << 30 << 0;
        QTest::addRow("strength 14") << 14 << 35 << 1;
        QTest::addRow("strength 17") << 17 << 50 << 1;
        QTest::addRow("strength 18") << 18 << 55 << 1;
        QTest::addRow("strength 19") << 19 << 60 << 2;
        QTest::addRow("strength 20") << 20 << 65 << 2;
    }
    void strengthTables()
    {
        QFETCH(int, strength);
        QFETCH(int, carry);
        QFETCH(int, damage);
        QCOMPARE(int(CarryFor(strength)), carry);
        QCOMPARE(int(DamageFor(strength)), damage);
        // And through a whole generation, where Strength is the first roll.
        GenerationScript script;
        if (strength < 5)
            return;
        script.attributes[0] = strength;
        const CharacterRecordType record = Generate(script);
        QCOMPARE(int(record.Strength), strength);
        QCOMPARE(int(record.Carry), carry);
        QCOMPARE(int(record.Damage), damage);
    }

    void bonusTable_data()
    {
        QTest::addColumn<int>("attribute");
        QTest::addColumn<int>("bonus");
        const int rows[][2] = {{1, 0}, {3, 0}, {4, 1}, {5, 1}, {6, 1}, {7, 2}, {10, 2}, {11, 3},
                               {14, 3}, {15, 4}, {17, 4}, {18, 5}, {20, 5}};
        for (auto [attribute, bonus] : rows)
            QTest::addRow("attribute %d", attribute) << attribute << bonus;
    }
    void bonusTable()
    {
        QFETCH(int, attribute);
        QFETCH(int, bonus);
        QCOMPARE(int(BonusFor(attribute)), bonus);
    }

    void attributesFeedTheirOwnBonuses()
    {
        GenerationScript script;
        // Strength, Endurance, Agility, Dexterity, Moxie, Chutzpah, MechApt, Power.
        const int attributes[8] = {13, 5, 7, 11, 15, 18, 20, 6};
        std::copy(std::begin(attributes), std::end(attributes), script.attributes);
        const CharacterRecordType r = Generate(script);
        QCOMPARE(r.Strength, int16_t(13));
        QCOMPARE(r.Endurance, int16_t(5));
        QCOMPARE(r.Agility, int16_t(7));
        QCOMPARE(r.Dexterity, int16_t(11));
        QCOMPARE(r.Moxie, int16_t(15));
        QCOMPARE(r.Chutzpah, int16_t(18));
        QCOMPARE(r.MechApt, int16_t(20));
        QCOMPARE(r.Power, int16_t(6));
        QCOMPARE(r.Macho, int16_t(1));
        QCOMPARE(r.AglBase, int16_t(2));
        QCOMPARE(r.DexBase, int16_t(3));
        QCOMPARE(r.MoxBase, int16_t(4));
        QCOMPARE(r.ChuBase, int16_t(5));
        QCOMPARE(r.MechBase, int16_t(5));
    }

    void attributeRollEnds_data()
    {
        QTest::addColumn<double>("fraction");
        QTest::addColumn<int>("attribute");
        QTest::addRow("zero gives 5") << 0.0 << 5;
        QTest::addRow("just below one gives 20") << std::nextafter(1.0, 0.0) << 20;
        QTest::addRow("one half gives 13") << 0.5 << 13;
        QTest::addRow("just below 1/16 gives 5") << std::nextafter(1.0 / 16, 0.0) << 5;
        QTest::addRow("1/16 gives 6") << 1.0 / 16 << 6;
    }
    void attributeRollEnds()
    {
        QFETCH(double, fraction);
        QFETCH(int, attribute);
        ScriptedRandom random;
        random.Fraction(fraction);
        const Override scope(RandomSourceSeam, random);
        QCOMPARE(int(RollAttribute()), attribute);
    }

    void rollNeverExceedsItsTop()
    {
        // A source that returned exactly 1.0 must still not roll N + 1.
        ScriptedRandom random;
        random.Fraction(1.0).Fraction(std::nextafter(1.0, 0.0));
        const Override scope(RandomSourceSeam, random);
        QCOMPARE(RollOneTo(20), 20);
        QCOMPARE(RollOneTo(7), 7);
    }

    void serviceTable_data()
    {
        QTest::addColumn<int>("roll");
        QTest::addColumn<QString>("service");
        const std::pair<int, const char *> rows[] = {
            {1, "Internal Security"},
            {2, "Internal Security"},
            {3, "Technical Services"},
            {4, "Technical Services"},
            {5, "HPD & MC"},
            {8, "HPD & MC"},
            {9, "Armed Forces"},
            {11, "Armed Forces"},
            {12, "Production, Logistics & Commissary"},
            {14, "Production, Logistics & Commissary"},
            {15, "Power Services"},
            {16, "Power Services"},
            {17, "Research & Design"},
            {18, "Research & Design"},
            {19, "Central Processing Unit"},
            {20, "Central Processing Unit"},
        };
        for (auto [roll, service] : rows)
            QTest::addRow("service roll %d", roll) << roll << service;
    }
    void serviceTable()
    {
        QFETCH(int, roll);
        QFETCH(QString, service);
        GenerationScript script;
        script.service = roll;
        script.cover = 3;
        const CharacterRecordType r = Generate(script);
        QCOMPARE(QString::fromStdString(r.Service), service);
        if (roll <= 2)
            QCOMPARE(r.Cover, std::string("Armed Forces"));
        else
            QCOMPARE(r.Cover, std::string(" ")); // one space, not empty
    }

    void coverTable_data()
    {
        QTest::addColumn<int>("roll");
        QTest::addColumn<QString>("cover");
        const char *covers[] = {"Technical Services", "HPD & MC", "Armed Forces",
                                "Production, Logistics & Commissary", "Power Services",
                                "Research & Design", "Central Processing Unit"};
        for (int roll = 1; roll <= 7; ++roll)
            QTest::addRow("cover roll %d", roll) << roll << covers[roll - 1];
    }
    void coverTable()
    {
        QFETCH(int, roll);
        QFETCH(QString, cover);
        GenerationScript script;
        script.service = 1;
        script.cover = roll;
        const CharacterRecordType r = Generate(script);
        QCOMPARE(r.Service, std::string("Internal Security"));
        QCOMPARE(QString::fromStdString(r.Cover), cover);
    }

    void mutantAndSociety_data()
    {
        QTest::addColumn<int>("mutant");
        QTest::addColumn<int>("society");
        QTest::addColumn<QString>("mutantName");
        QTest::addColumn<QString>("secretName");
        QTest::addRow("power 1, society 1") << 1 << 1 << "Deep Probe" << "Anti-Mutant";
        QTest::addRow("power 10 may be PURGE") << 10 << 16 << "Teleport" << "PURGE";
        QTest::addRow("power 11, society 8") << 11 << 8 << "Adrenalin Control" << "Humaniststs";
        QTest::addRow("power 20, society 13")
            << 20 << 13 << "X-Ray Vision" << "1st Church of Christ - Computer Programmer";
        QTest::addRow("power 15, society 15") << 15 << 15 << "Machine Empathy" << "Sierra Club";
    }
    void mutantAndSociety()
    {
        QFETCH(int, mutant);
        QFETCH(int, society);
        QFETCH(QString, mutantName);
        QFETCH(QString, secretName);
        GenerationScript script;
        script.mutant = mutant;
        script.society = society;
        const CharacterRecordType r = Generate(script);
        QCOMPARE(QString::fromStdString(r.Mutant), mutantName);
        QCOMPARE(QString::fromStdString(r.Secret), secretName);
    }

    void purgeNeverAfterTheLastTenPowers_data()
    {
        QTest::addColumn<int>("mutant");
        for (int mutant = 11; mutant <= 20; ++mutant)
            QTest::addRow("power %d", mutant) << mutant;
    }
    void purgeNeverAfterTheLastTenPowers()
    {
        QFETCH(int, mutant);
        // The highest possible society fraction: a roll of 1 to 15 tops out at "Sierra Club".
        ScriptedRandom random;
        GenerationScript script;
        script.mutant = mutant;
        script.society = 1;
        script.Load(random);
        // Replace the society fraction (after 8 attributes, service, mutant) with one just below 1.
        random.fractions[10] = std::nextafter(1.0, 0.0);
        const Override scope(RandomSourceSeam, random);
        CharacterRecordType record;
        GenerateInto(record);
        QCOMPARE(record.Secret, std::string("Sierra Club"));
    }

    void skillsStartFromTheirGroupBase()
    {
        GenerationScript script;
        // Agility 7 -> 2, Dexterity 11 -> 3, Moxie 15 -> 4, Chutzpah 18 -> 5, MechApt 5 -> 1.
        const int attributes[8] = {10, 10, 7, 11, 15, 18, 5, 10};
        std::copy(std::begin(attributes), std::end(attributes), script.attributes);
        script.passes = {{5, 50}, {5, 49}, {5, 48}, {5, 46}, {5, 45}, {5, 44}};
        const CharacterRecordType r = Generate(script);
        QCOMPARE(r.ForceSword, int16_t(2));
        QCOMPARE(r.Unarmed, int16_t(2));
        QCOMPARE(r.Bootlicking, int16_t(5));
        QCOMPARE(r.SpuriousLogic, int16_t(5));
        QCOMPARE(r.EnergyWeapons, int16_t(3));
        QCOMPARE(r.VehicleLaunchedWeapons, int16_t(3));
        QCOMPARE(r.Autocar, int16_t(1));
        QCOMPARE(r.Vulturecraft, int16_t(1));
        QCOMPARE(r.Biochemical, int16_t(4));
        QCOMPARE(r.Security, int16_t(4));      // skill 47, never drawn
        QCOMPARE(r.Stealth, int16_t(4 + 5));   // skill 48
        QCOMPARE(r.Surveillance, int16_t(9));  // skill 49
        QCOMPARE(r.Survival, int16_t(9));      // skill 50
        QCOMPARE(r.Medical, int16_t(4 + 5));   // skill 45
        QCOMPARE(r.Mechanical, int16_t(9));    // skill 44
        QCOMPARE(r.Electronic, int16_t(4));    // skill 43, never drawn
    }

    void lumpIsGivenWholeAndDrivesPoolToMinusFour()
    {
        GenerationScript script; // every attribute 10: every base 2
        // 25 points, then 4 (pool 1), then a lump of 5 given whole: pool -4, raises total 34.
        script.passes = {{5, 1}, {5, 2}, {5, 3}, {5, 4}, {5, 5}, {4, 6}, {5, 7}};
        const CharacterRecordType r = Generate(script);
        QCOMPARE(r.Truncheon, int16_t(7));
        QCOMPARE(r.Unarmed, int16_t(6));
        QCOMPARE(r.Bootlicking, int16_t(7));
        int raised = 0;
        for (int n = 1; n <= kSkillCount; ++n)
            raised += Skill(r, n) - SkillBaseOf(r, n);
        QCOMPARE(raised, 34);
    }

    void passOnARaisedSkillChangesNothing()
    {
        GenerationScript script;
        // The second pass names skill 1 again: nothing changes and the pool does not shrink,
        // so six more lumps of 5 are still needed.
        script.passes = {{5, 1}, {3, 1}, {5, 2}, {5, 3}, {5, 4}, {5, 5}, {5, 6}};
        const CharacterRecordType r = Generate(script);
        QCOMPARE(r.ForceSword, int16_t(7));
        QCOMPARE(r.Unarmed, int16_t(7));
        QCOMPARE(r.Bootlicking, int16_t(2));
    }

    void nameLetters_data()
    {
        QTest::addColumn<QList<int>>("rolls"); // pairs of (roll, n) flattened
        QTest::addColumn<QString>("name");
        // A B C | E A: first a vowel, second stays a consonant.
        QTest::addRow("vowel first keeps consonant second")
            << QList<int>{1, 26, 2, 26, 3, 26, 5, 26, 2, 26} << "ABC-R-CEB";
        // B C -> consonant pair: extra roll 3 -> I. Then D, then F G -> extra roll 5 -> U.
        QTest::addRow("two consonants draw a vowel")
            << QList<int>{2, 26, 3, 26, 3, 5, 4, 26, 6, 26, 7, 26, 5, 5} << "BID-R-DFU";
        // Consonant then vowel: no extra roll. Y counts as a consonant.
        QTest::addRow("consonant then vowel, Y a consonant")
            << QList<int>{2, 26, 15, 26, 25, 26, 25, 26, 25, 26, 1, 5} << "BOY-R-YYA";
        QTest::addRow("Z then U, Z then Z")
            << QList<int>{26, 26, 21, 26, 26, 26, 26, 26, 26, 26, 4, 5} << "ZUZ-R-ZZO";
    }
    void nameLetters()
    {
        QFETCH(QList<int>, rolls);
        QFETCH(QString, name);
        GenerationScript script;
        script.nameRolls.clear();
        for (qsizetype i = 0; i + 1 < rolls.size(); i += 2)
            script.nameRolls.push_back({rolls[i], rolls[i + 1]});
        const CharacterRecordType r = Generate(script);
        QCOMPARE(QString::fromStdString(r.Name), name);
    }

    void nameIsAppendedToWhatNameHolds()
    {
        ScriptedRandom random;
        GenerationScript().Load(random);
        const Override scope(RandomSourceSeam, random);
        CharacterRecord.Name = "OLD";
        GenerateCharacter();
        QCOMPARE(CharacterRecord.Name, std::string("OLDABC-R-CEA"));
    }

    void clockSeededGenerationsKeepTheInvariants()
    {
        std::set<std::string> names;
        std::set<std::string> societiesAfterLastTen;
        for (int i = 0; i < 5000; ++i) {
            CharacterRecordType r;
            GenerateInto(r);
            const int16_t attributes[8] = {r.Strength, r.Endurance, r.Agility, r.Dexterity,
                                           r.Moxie, r.Chutzpah, r.MechApt, r.Power};
            for (int16_t a : attributes)
                QVERIFY(a >= 5 && a <= 20);
            QCOMPARE(r.Carry, CarryFor(r.Strength));
            QVERIFY(r.Carry % 5 == 0);
            QCOMPARE(r.Damage, DamageFor(r.Strength));
            QCOMPARE(r.Macho, BonusFor(r.Endurance));
            QCOMPARE(r.MechBase, BonusFor(r.MechApt));
            int raised = 0;
            int raisedSkills = 0;
            for (int n = 1; n <= kSkillCount; ++n) {
                const int diff = Skill(r, n) - SkillBaseOf(r, n);
                QVERIFY(diff >= 0 && diff <= 5);
                QVERIFY(Skill(r, n) >= 1 && Skill(r, n) <= 10);
                raised += diff;
                raisedSkills += diff > 0;
            }
            QVERIFY2(raised >= 30 && raised <= 34, qPrintable(QString::number(raised)));
            QVERIFY(raisedSkills >= 6 && raisedSkills <= 30);
            QCOMPARE(r.Name.size(), size_t(9));
            QCOMPARE(r.Name.substr(3, 3), std::string("-R-"));
            QCOMPARE(r.Name[6], r.Name[2]);
            auto vowel = [](char c) { return std::string("AEIOU").find(c) != std::string::npos; };
            QVERIFY(vowel(r.Name[0]) || vowel(r.Name[1]));
            QVERIFY(vowel(r.Name[7]) || vowel(r.Name[8]));
            QCOMPARE(r.Cover == " ", r.Service != kInternalSecurity);
            QVERIFY(r.Cover != kInternalSecurity);
            const auto mutant = std::find_if(kMutantPowers.begin(), kMutantPowers.end(),
                                             [&](const char *m) { return r.Mutant == m; });
            QVERIFY(mutant != kMutantPowers.end());
            if (mutant - kMutantPowers.begin() >= 10)
                QVERIFY(r.Secret != "PURGE");
            names.insert(r.Name);
        }
        // Thousands of clock-seeded rolls repeat a name only rarely.
        QVERIFY(names.size() > 4000);
    }

    void reseedsInTheSameTickDiffer()
    {
        ClockRandom a;
        ClockRandom b;
        std::set<uint64_t> seeds;
        for (int i = 0; i < 1000; ++i) {
            a.Reseed();
            seeds.insert(a.LastSeed());
        }
        b.Reseed();
        seeds.insert(b.LastSeed());
        QCOMPARE(int(seeds.size()), 1001);
    }

    void aForkedChildSeedsWithItsOwnProcessId()
    {
        QCOMPARE(SeedProcessId(), uint64_t(getpid()));
        int fds[2];
        QCOMPARE(pipe(fds), 0);
        const pid_t child = fork();
        if (child == 0) {
            const uint64_t id = SeedProcessId();
            _exit(write(fds[1], &id, sizeof id) == sizeof id ? 0 : 1);
        }
        QVERIFY(child > 0);
        uint64_t seen = 0;
        const bool read_ok = read(fds[0], &seen, sizeof seen) == sizeof seen;
        int status = 0;
        waitpid(child, &status, 0);
        close(fds[0]);
        close(fds[1]);
        QVERIFY(read_ok);
        QCOMPARE(seen, uint64_t(child));
        QCOMPARE(SeedProcessId(), uint64_t(getpid()));
    }

    void twoQuickGenerationsDiffer()
    {
        CharacterRecordType first;
        CharacterRecordType second;
        GenerateInto(first);
        GenerateInto(second);
        QVERIFY(!(first == second));
    }

    void seededSourceRepeats()
    {
        SeededRandom a(42);
        SeededRandom b(42);
        for (int i = 0; i < 100; ++i) {
            const double r = a.NextFraction();
            QVERIFY(r >= 0.0 && r < 1.0);
            QCOMPARE(r, b.NextFraction());
        }
    }
};

QTEST_GUILESS_MAIN(TestGenerator)
#include "test_generator.moc"
