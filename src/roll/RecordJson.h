// Characters as JSON for other programs. Plain C++, no Qt; the text is the same on every
// machine (no locale).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/modTarvock.h"

namespace quelvane::roll {

// `bytes` as a JSON string, quotes included. Valid UTF-8 passes through; control characters
// are escaped; every byte that is not part of valid UTF-8 becomes U+FFFD, so the result is
// always valid UTF-8 and valid JSON whatever the record holds.
std::string JsonString(std::string_view bytes);

// One record as a JSON object with the 71 fields in file order, under their field names.
std::string RecordJson(const CharacterRecordType &record);

// The whole output: {"seed": "...", "count": N, "characters": [...]}. The seed is a string
// because a 64-bit seed does not survive a trip through a double.
std::string RollJson(uint64_t seed, const std::vector<CharacterRecordType> &records);

} // namespace quelvane::roll
