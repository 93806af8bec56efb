// The ".tbl" character file: 71 lines ended by CR LF, one field each in the record's order;
// whole numbers as bare decimal, texts between double quotes. Plain C++, no Qt.
#pragma once

#include <string>
#include <string_view>

#include "model/modTarvock.h"

namespace quelvane {

// The exact bytes of a character file for a record.
std::string WriteCharacterText(const CharacterRecordType &record);

} // namespace quelvane
