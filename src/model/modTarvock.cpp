#include "model/modTarvock.h"

#include <algorithm>
#include <charconv>

#include "model/Random.h"

namespace quelvane {

CharacterRecordType CharacterRecord;

namespace {

using R = CharacterRecordType;

constexpr FieldDef Num(const char *name, int16_t R::*member)
{
    return {name, FieldKind::Number, member, nullptr};
}
constexpr FieldDef Txt(const char *name, std::string R::*member)
{
    return {name, FieldKind::Text, nullptr, member};
}

} // namespace

const std::array<FieldDef, kFieldCount> kFields = {{
    Num("Strength", &R::Strength),
    Num("Endurance", &R::Endurance),
    Num("Agility", &R::Agility),
    Num("Dexterity", &R::Dexterity),
    Num("Moxie", &R::Moxie),
    Num("Chutzpah", &R::Chutzpah),
    Num("MechApt", &R::MechApt),
    Num("Power", &R::Power),
    Num("Carry", &R::Carry),
    Num("Damage", &R::Damage),
    Num("Macho", &R::Macho),
    Num("AglBase", &R::AglBase),
    Num("DexBase", &R::DexBase),
    Num("MoxBase", &R::MoxBase),
    Num("ChuBase", &R::ChuBase),
    Num("MechBase", &R::MechBase),
    Txt("Name", &R::Name),
    Txt("Service", &R::Service),
    Txt("Cover", &R::Cover),
    Txt("Mutant", &R::Mutant),
    Txt("Secret", &R::Secret),
    Num("ForceSword", &R::ForceSword),
    Num("Grenade", &R::Grenade),
    Num("Neurowhip", &R::Neurowhip),
    Num("PrimMelee", &R::PrimMelee),
    Num("Truncheon", &R::Truncheon),
    Num("Unarmed", &R::Unarmed),
    Num("Bootlicking", &R::Bootlicking),
    Num("Bribery", &R::Bribery),
    Num("Con", &R::Con),
    Num("FastTalk", &R::FastTalk),
    Num("Forgery", &R::Forgery),
    Num("Interrogation", &R::Interrogation),
    Num("Intimidation", &R::Intimidation),
    Num("Motivation", &R::Motivation),
    Num("Oratory", &R::Oratory),
    Num("Psychescan", &R::Psychescan),
    Num("SpuriousLogic", &R::SpuriousLogic),
    Num("EnergyWeapons", &R::EnergyWeapons),
    Num("FieldWeapons", &R::FieldWeapons),
    Num("LaserWeapons", &R::LaserWeapons),
    Num("Missle", &R::Missle),
    Num("ProjectileWeapons", &R::ProjectileWeapons),
    Num("VehicleAimedWeapons", &R::VehicleAimedWeapons),
    Num("VehicleFieldWeapons", &R::VehicleFieldWeapons),
    Num("VehicleLaunchedWeapons", &R::VehicleLaunchedWeapons),
    Num("Autocar", &R::Autocar),
    Num("Copter", &R::Copter),
    Num("Crawler", &R::Crawler),
    Num("Docbot", &R::Docbot),
    Num("Flybot", &R::Flybot),
    Num("Habitat", &R::Habitat),
    Num("Hover", &R::Hover),
    Num("Jackobot", &R::Jackobot),
    Num("Scrubot", &R::Scrubot),
    Num("Transbot", &R::Transbot),
    Num("Vulturecraft", &R::Vulturecraft),
    Num("Biochemical", &R::Biochemical),
    Num("Biosciences", &R::Biosciences),
    Num("Chemical", &R::Chemical),
    Num("Analysis", &R::Analysis),
    Num("Search", &R::Search),
    Num("Demolition", &R::Demolition),
    Num("Electronic", &R::Electronic),
    Num("Mechanical", &R::Mechanical),
    Num("Medical", &R::Medical),
    Num("Nuclear", &R::Nuclear),
    Num("Security", &R::Security),
    Num("Stealth", &R::Stealth),
    Num("Surveillance", &R::Surveillance),
    Num("Survival", &R::Survival),
}};

const std::array<SkillGroup, 5> kSkillGroups = {{
    {"AglBase", &R::AglBase, 1, 6},
    {"ChuBase", &R::ChuBase, 7, 17},
    {"DexBase", &R::DexBase, 18, 25},
    {"MechBase", &R::MechBase, 26, 36},
    {"MoxBase", &R::MoxBase, 37, 50},
}};

int FieldIndex(std::string_view name)
{
    for (int i = 0; i < kFieldCount; ++i) {
        if (name == kFields[i].name)
            return i;
    }
    return -1;
}

int16_t &Skill(CharacterRecordType &record, int n)
{
    return record.*(kFields[kFirstSkillField + n - 1].number);
}

int16_t Skill(const CharacterRecordType &record, int n)
{
    return record.*(kFields[kFirstSkillField + n - 1].number);
}

int16_t SkillBaseOf(const CharacterRecordType &record, int n)
{
    for (const SkillGroup &group : kSkillGroups) {
        if (n >= group.firstSkill && n <= group.lastSkill)
            return record.*(group.base);
    }
    return 0;
}

std::string NumberText(int16_t value)
{
    char buffer[8];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec; // an int16_t always fits
    return std::string(buffer, end);
}

// ---- Random source ----

constinit Seam<RandomSource> RandomSourceSeam(MadeOnFirstUse<RandomSource, ClockRandom>);

// ---- Tables ----

const std::array<const char *, 8> kServiceGroups = {
    "Internal Security",
    "Technical Services",
    "HPD & MC",
    "Armed Forces",
    "Production, Logistics & Commissary",
    "Power Services",
    "Research & Design",
    "Central Processing Unit",
};

const std::array<const char *, 20> kMutantPowers = {
    "Deep Probe",        "Empathy",
    "Energy Field",      "Levitation",
    "Mental Blast",      "Precognition",
    "Pyrokinesis",       "Telekinesis",
    "Telepathy",         "Teleport",
    "Adrenalin Control", "Charm",
    "Electroshock",      "Hypersenses",
    "Machine Empathy",   "Matter Eater",
    "Mechanical Intuition", "Polymorphism",
    "Regeneration",      "X-Ray Vision",
};

const std::array<const char *, 16> kSecretSocieties = {
    "Anti-Mutant",
    "Computer Phreaks",
    "Communists",
    "Corpore Metal",
    "Death Leopard",
    "Frankenstein Destroyers",
    "Free Enterprise",
    "Humaniststs",
    "Illuminati",
    "Mystics",
    "Pro Tech",
    "Psion",
    "1st Church of Christ - Computer Programmer",
    "Romantics",
    "Sierra Club",
    "PURGE",
};

const char *ServiceForRoll(int roll20)
{
    // Upper bound of each band of the 1..20 roll, in table order.
    static constexpr int kBandTop[8] = {2, 4, 8, 11, 14, 16, 18, 20};
    for (int i = 0; i < 8; ++i) {
        if (roll20 <= kBandTop[i])
            return kServiceGroups[i];
    }
    return kServiceGroups[7];
}

const char *CoverForRoll(int roll7)
{
    // The seven groups after "Internal Security", in table order.
    return kServiceGroups[std::clamp(roll7, 1, 7)];
}

int16_t CarryFor(int strength)
{
    return static_cast<int16_t>(strength <= 12 ? 25 : 25 + 5 * (std::min(strength, 20) - 12));
}

int16_t DamageFor(int strength)
{
    if (strength <= 13)
        return 0;
    return strength <= 18 ? 1 : 2;
}

int16_t BonusFor(int attribute)
{
    if (attribute <= 3)
        return 0;
    if (attribute <= 6)
        return 1;
    if (attribute <= 10)
        return 2;
    if (attribute <= 14)
        return 3;
    if (attribute <= 17)
        return 4;
    return 5;
}

std::string ServiceGroupText(const CharacterRecordType &record)
{
    if (record.Service == kInternalSecurity)
        return record.Cover + " (IS)";
    return record.Service;
}

// ---- Generation ----

int RollOneTo(int n)
{
    const double r = CurrentRandomSource().NextFraction();
    const int roll = 1 + static_cast<int>(r * n);
    // A source that rounds r up to 1.0 must still not give n + 1.
    return std::clamp(roll, 1, n);
}

int16_t RollAttribute()
{
    return static_cast<int16_t>(4 + RollOneTo(16));
}

namespace {

bool IsVowel(char letter)
{
    return letter == 'A' || letter == 'E' || letter == 'I' || letter == 'O' || letter == 'U';
}

char RollLetter()
{
    return static_cast<char>('A' + RollOneTo(26) - 1);
}

char RollVowel()
{
    static constexpr char kVowels[5] = {'A', 'E', 'I', 'O', 'U'};
    return kVowels[RollOneTo(5) - 1];
}

void RollSkills(CharacterRecordType &record)
{
    bool raised[kSkillCount + 1] = {};
    for (int n = 1; n <= kSkillCount; ++n)
        Skill(record, n) = SkillBaseOf(record, n);

    int16_t pool = 30;
    while (pool > 0) {
        const int points = RollOneTo(5);
        const int n = RollOneTo(kSkillCount);
        if (raised[n])
            continue; // a skill is raised once at most; the pass is lost
        Skill(record, n) = static_cast<int16_t>(Skill(record, n) + points);
        pool = static_cast<int16_t>(pool - points); // a lump is given whole
        raised[n] = true;
    }
}

void RollName(std::string &name)
{
    // Of each pair of letters at least one is a vowel; the third letter repeats after "-R-".
    char letter = RollLetter();
    bool vowelMark = IsVowel(letter);
    name += letter;

    letter = RollLetter();
    if (!IsVowel(letter) && !vowelMark)
        letter = RollVowel();
    name += letter;

    letter = RollLetter();
    name += letter;

    name += "-R-";
    name += letter;

    letter = RollLetter();
    vowelMark = IsVowel(letter);
    name += letter;

    letter = RollLetter();
    if (!IsVowel(letter) && !vowelMark)
        letter = RollVowel();
    name += letter;
}

} // namespace

void GenerateInto(CharacterRecordType &record)
{
    CurrentRandomSource().Reseed();

    int16_t rolls[8];
    for (int16_t &roll : rolls)
        roll = RollAttribute();
    record.Strength = rolls[0];
    record.Endurance = rolls[1];
    record.Agility = rolls[2];
    record.Dexterity = rolls[3];
    record.Moxie = rolls[4];
    record.Chutzpah = rolls[5];
    record.MechApt = rolls[6];
    record.Power = rolls[7];

    record.Carry = CarryFor(record.Strength);
    record.Damage = DamageFor(record.Strength);
    record.Macho = BonusFor(record.Endurance);
    record.AglBase = BonusFor(record.Agility);
    record.DexBase = BonusFor(record.Dexterity);
    record.MoxBase = BonusFor(record.Moxie);
    record.ChuBase = BonusFor(record.Chutzpah);
    record.MechBase = BonusFor(record.MechApt);

    record.Service = ServiceForRoll(RollOneTo(20));
    record.Cover = record.Service == kInternalSecurity ? CoverForRoll(RollOneTo(7)) : " ";

    const int mutantRoll = RollOneTo(20);
    record.Mutant = kMutantPowers[mutantRoll - 1];
    // PURGE only comes with the first ten powers.
    record.Secret = kSecretSocieties[RollOneTo(mutantRoll >= 11 ? 15 : 16) - 1];

    RollSkills(record);
    RollName(record.Name);
}

void GenerateCharacter()
{
    GenerateInto(CharacterRecord);
}

} // namespace quelvane
