#include "model/CharacterFile.h"

namespace quelvane {

std::string WriteCharacterText(const CharacterRecordType &record)
{
    std::string out;
    out.reserve(512);
    for (const FieldDef &field : kFields) {
        if (field.kind == FieldKind::Number) {
            out += NumberText(record.*(field.number));
        } else {
            out += '"';
            out += record.*(field.text);
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

} // namespace quelvane
