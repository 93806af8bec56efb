// The ".tbl" character file: 71 lines ended by CR LF, one field each in the record's order;
// whole numbers as bare decimal, texts between double quotes. Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/modTarvock.h"

namespace quelvane {

// The exact bytes of a character file for a record. A double quote inside a text is doubled
// so that it reads back intact; any other byte is written as it is. Texts cannot carry a line
// end (the reader never produces one).
std::string WriteCharacterText(const CharacterRecordType &record);

enum class ReadStatus {
    Ok,
    Empty,            // no bytes at all, or a UTF-8 byte-order mark alone
    EndedEarly,       // the data ends before field 71
    NumberOutOfRange, // a whole number outside -32768..32767
    TooLarge,         // 71 fields not complete within kMaxCharacterFileBytes
    NotText,          // a NUL byte: a picture, a program, a PDF, not a hand-edited text
};

// A real file is a few hundred bytes; the reader never looks further than this, so callers
// need to read at most kMaxCharacterFileBytes + 1 bytes to get every answer right.
inline constexpr std::size_t kMaxCharacterFileBytes = std::size_t(1) << 20;

// Reads the first 71 fields of a character file. `record` is replaced only on Ok and is left
// exactly as it was otherwise. A UTF-8 byte-order mark at the very start is skipped (the writer
// never writes one). Fields are separated by commas or line ends (CR LF, LF or CR); blanks
// before a field are skipped; whatever follows field 71 is ignored, unless the bytes hold a
// NUL anywhere: no text editor writes one, so such a file is refused as NotText.
ReadStatus ReadCharacterText(std::string_view bytes, CharacterRecordType &record);

// For messages and logs: "Ok", "Empty", ...
const char *ReadStatusName(ReadStatus status);

} // namespace quelvane
