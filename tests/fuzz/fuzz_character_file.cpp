// Fuzz target for the character-file reader: no input may crash it, a failed read leaves the
// record untouched, bytes with a NUL are refused as binary, a byte-order mark in front changes
// nothing, and whatever it accepts saves and reads back to the same record.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/CharacterFile.h"

using namespace quelvane;

namespace {

[[noreturn]] void Finding(const char *what)
{
    std::fprintf(stderr, "character file finding: %s\n", what);
    std::abort();
}

CharacterRecordType Sentinel()
{
    CharacterRecordType record;
    record.Strength = 17;
    record.Name = "SENTINEL";
    record.Cover = " ";
    record.Survival = -5;
    return record;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const CharacterRecordType before = Sentinel();
    CharacterRecordType record = before;
    const ReadStatus status = ReadCharacterText(bytes, record);
    // A byte-order mark in front changes nothing (within the size cap).
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (!bytes.starts_with(kBom) && size + kBom.size() <= kMaxCharacterFileBytes) {
        std::string marked(kBom);
        marked.append(bytes);
        CharacterRecordType markedRecord = before;
        if (ReadCharacterText(marked, markedRecord) != status || !(markedRecord == record))
            Finding("a byte-order mark in front read differently");
    }
    // A NUL byte anywhere marks a binary file, which never loads.
    const bool hasNul = bytes.find('\0') != std::string_view::npos;
    if (hasNul != (status == ReadStatus::NotText))
        Finding("NUL bytes and the NotText answer disagree");
    if (status != ReadStatus::Ok) {
        if (!(record == before))
            Finding("a failed read changed the record");
        if (size == 0 && status != ReadStatus::Empty)
            Finding("no bytes did not read as Empty");
        return 0;
    }
    const std::string written = WriteCharacterText(record);
    CharacterRecordType again;
    if (ReadCharacterText(written, again) != ReadStatus::Ok)
        Finding("a record the reader accepted did not read back after saving");
    if (!(again == record))
        Finding("a saved record read back different");
    if (WriteCharacterText(again) != written)
        Finding("saving the record read back gave other bytes");
    return 0;
}
