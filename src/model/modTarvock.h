// The one Cadrelant of the program and the generator that rolls it.
// Plain C++ on purpose: no Qt here, so the model can be fuzzed, benchmarked and reused.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Seam.h"

namespace quelvane {

// Field order is the character file's line order; never reorder.
struct CharacterRecordType {
    // Attributes and derived values (fields 1-16).
    int16_t Strength = 0;
    int16_t Endurance = 0;
    int16_t Agility = 0;
    int16_t Dexterity = 0;
    int16_t Moxie = 0;
    int16_t Chutzpah = 0;
    int16_t MechApt = 0;
    int16_t Power = 0;
    int16_t Carry = 0;
    int16_t Damage = 0;
    int16_t Macho = 0;
    int16_t AglBase = 0;
    int16_t DexBase = 0;
    int16_t MoxBase = 0;
    int16_t ChuBase = 0;
    int16_t MechBase = 0;

    // Identity and secrets (fields 17-21). Bytes, not necessarily UTF-8: files may come
    // from an 8-bit code page and must survive a load and save unchanged.
    std::string Name;
    std::string Service;
    std::string Cover;
    std::string Mutant;
    std::string Secret;

    // Agility skills (22-27).
    int16_t ForceSword = 0;
    int16_t Grenade = 0;
    int16_t Neurowhip = 0;
    int16_t PrimMelee = 0;
    int16_t Truncheon = 0;
    int16_t Unarmed = 0;
    // Chutzpah skills (28-38).
    int16_t Bootlicking = 0;
    int16_t Bribery = 0;
    int16_t Con = 0;
    int16_t FastTalk = 0;
    int16_t Forgery = 0;
    int16_t Interrogation = 0;
    int16_t Intimidation = 0;
    int16_t Motivation = 0;
    int16_t Oratory = 0;
    int16_t Psychescan = 0;
    int16_t SpuriousLogic = 0;
    // Dexterity skills (39-46).
    int16_t EnergyWeapons = 0;
    int16_t FieldWeapons = 0;
    int16_t LaserWeapons = 0;
    int16_t Missle = 0;
    int16_t ProjectileWeapons = 0;
    int16_t VehicleAimedWeapons = 0;
    int16_t VehicleFieldWeapons = 0;
    int16_t VehicleLaunchedWeapons = 0;
    // Mechanical skills (47-57).
    int16_t Autocar = 0;
    int16_t Copter = 0;
    int16_t Crawler = 0;
    int16_t Docbot = 0;
    int16_t Flybot = 0;
    int16_t Habitat = 0;
    int16_t Hover = 0;
    int16_t Jackobot = 0;
    int16_t Scrubot = 0;
    int16_t Transbot = 0;
    int16_t Vulturecraft = 0;
    // Moxie skills (58-71).
    int16_t Biochemical = 0;
    int16_t Biosciences = 0;
    int16_t Chemical = 0;
    int16_t Analysis = 0;
    int16_t Search = 0;
    int16_t Demolition = 0;
    int16_t Electronic = 0;
    int16_t Mechanical = 0;
    int16_t Medical = 0;
    int16_t Nuclear = 0;
    int16_t Security = 0;
    int16_t Stealth = 0;
    int16_t Surveillance = 0;
    int16_t Survival = 0;

    bool operator==(const CharacterRecordType &) const = default;
};

// The program-wide record. Zero and empty until the first Generate or Load.
extern CharacterRecordType CharacterRecord;

// ---- The ordered field list, shared by the file, the viewers and the sheet ----

enum class FieldKind { Number, Text };

struct FieldDef {
    const char *name;
    FieldKind kind;
    int16_t CharacterRecordType::*number; // set when kind == Number
    std::string CharacterRecordType::*text; // set when kind == Text
};

constexpr int kFieldCount = 71;
constexpr int kSkillCount = 50;
constexpr int kFirstSkillField = 21; // zero-based index of ForceSword

extern const std::array<FieldDef, kFieldCount> kFields;

// Zero-based index into kFields by name; -1 when there is no such field.
int FieldIndex(std::string_view name);

// The skill groups in record order, each with the base that a skill starts from.
struct SkillGroup {
    const char *baseName;
    int16_t CharacterRecordType::*base;
    int firstSkill; // 1-based skill number
    int lastSkill;
};
extern const std::array<SkillGroup, 5> kSkillGroups;

// The skill with 1-based number n (1..50).
int16_t &Skill(CharacterRecordType &record, int n);
int16_t Skill(const CharacterRecordType &record, int n);
// The base of the group that skill n belongs to.
int16_t SkillBaseOf(const CharacterRecordType &record, int n);

// Whole numbers are always shown, printed and saved as plain decimal: "-4", "0", "25".
std::string NumberText(int16_t value);

// ---- Random source ----

// Where the generator gets its fractions. The default reseeds from the clock; tests swap in
// a scripted source.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void Reseed() = 0;
    virtual double NextFraction() = 0; // uniform in [0, 1)
};

// The default clock-seeded source unless an Override puts another in place.
extern Seam<RandomSource> RandomSourceSeam;
inline RandomSource &CurrentRandomSource() { return RandomSourceSeam.Current(); }

// ---- Generation ----

// 1 + floor(r * n), never above n even for r just below 1.
int RollOneTo(int n);
// 5 + floor(r * 16): 5..20.
int16_t RollAttribute();

// Overwrites every field of CharacterRecord with a new Cadrelant. Appends the name to the
// current Name, so the caller empties Name first.
void GenerateCharacter();

// The generator's steps, over any record; GenerateCharacter runs them on CharacterRecord.
void GenerateInto(CharacterRecordType &record);

// Derived-value tables, defined over 1..20 (values outside give the nearest end's result).
int16_t CarryFor(int strength);
int16_t DamageFor(int strength);
int16_t BonusFor(int attribute);

// The tables of names, in roll order.
extern const std::array<const char *, 8> kServiceGroups; // distinct names, table order
extern const std::array<const char *, 20> kMutantPowers;
extern const std::array<const char *, 16> kSecretSocieties;
const char *ServiceForRoll(int roll20);
const char *CoverForRoll(int roll7);

inline constexpr const char *kInternalSecurity = "Internal Security";

// What a printed sheet shows for the service group: an internal-security agent's cover with
// " (IS)" (the exact, case-sensitive name only), anyone else's service group as it stands.
std::string ServiceGroupText(const CharacterRecordType &record);

} // namespace quelvane
