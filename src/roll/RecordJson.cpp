#include "roll/RecordJson.h"

namespace quelvane::roll {
namespace {

bool InRange(std::string_view bytes, size_t i, unsigned char low, unsigned char high)
{
    if (i >= bytes.size())
        return false;
    const auto byte = static_cast<unsigned char>(bytes[i]);
    return byte >= low && byte <= high;
}

// Length of the valid UTF-8 sequence at `i`, or 0 when the byte there does not start one
// (stray continuation bytes, overlong forms, surrogates, code points above U+10FFFF).
size_t Utf8Length(std::string_view bytes, size_t i)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2)
        return 0;
    if (lead < 0xE0)
        return InRange(bytes, i + 1, 0x80, 0xBF) ? 2 : 0;
    if (lead < 0xF0) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return InRange(bytes, i + 1, low, high) && InRange(bytes, i + 2, 0x80, 0xBF) ? 3 : 0;
    }
    if (lead < 0xF5) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return InRange(bytes, i + 1, low, high) && InRange(bytes, i + 2, 0x80, 0xBF)
                   && InRange(bytes, i + 3, 0x80, 0xBF)
               ? 4
               : 0;
    }
    return 0;
}

void AppendUnicodeEscape(std::string &out, unsigned code)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(code >> shift) & 0xF];
}

} // namespace

std::string JsonString(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        switch (byte) {
        case '"': out += "\\\""; ++i; continue;
        case '\\': out += "\\\\"; ++i; continue;
        case '\b': out += "\\b"; ++i; continue;
        case '\f': out += "\\f"; ++i; continue;
        case '\n': out += "\\n"; ++i; continue;
        case '\r': out += "\\r"; ++i; continue;
        case '\t': out += "\\t"; ++i; continue;
        default: break;
        }
        if (byte < 0x20 || byte == 0x7F) {
            AppendUnicodeEscape(out, byte);
            ++i;
            continue;
        }
        const size_t length = Utf8Length(bytes, i);
        if (length == 0) {
            AppendUnicodeEscape(out, 0xFFFD);
            ++i;
            continue;
        }
        // U+2028 and U+2029 are valid JSON but end a line in JavaScript source.
        if (length == 3 && byte == 0xE2 && static_cast<unsigned char>(bytes[i + 1]) == 0x80
            && (static_cast<unsigned char>(bytes[i + 2]) & 0xFE) == 0xA8) {
            AppendUnicodeEscape(out, 0x2028 + (static_cast<unsigned char>(bytes[i + 2]) - 0xA8));
        } else {
            out.append(bytes.substr(i, length));
        }
        i += length;
    }
    out += '"';
    return out;
}

std::string RecordJson(const CharacterRecordType &record)
{
    std::string out;
    out.reserve(1024);
    out += '{';
    bool first = true;
    for (const FieldDef &field : kFields) {
        if (!first)
            out += ", ";
        first = false;
        out += '"';
        out += field.name; // plain ASCII identifiers
        out += "\": ";
        if (field.kind == FieldKind::Number)
            out += NumberText(record.*(field.number));
        else
            out += JsonString(record.*(field.text));
    }
    out += '}';
    return out;
}

std::string RollJson(uint64_t seed, const std::vector<CharacterRecordType> &records)
{
    std::string out;
    out.reserve(64 + records.size() * 1100);
    out += "{\n  \"seed\": \"" + std::to_string(seed) + "\",\n";
    out += "  \"count\": " + std::to_string(records.size()) + ",\n";
    out += "  \"characters\": [";
    for (size_t i = 0; i < records.size(); ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        out += RecordJson(records[i]);
    }
    out += records.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

} // namespace quelvane::roll
