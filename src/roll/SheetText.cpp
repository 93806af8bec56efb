#include "roll/SheetText.h"

#include <algorithm>
#include <vector>

#include "model/SheetLayout.h"

namespace quelvane::roll {
namespace {

// Label column widths, wide enough for the longest label of each column.
constexpr size_t kIdentityWidth = 20;
constexpr size_t kAttributeWidth = 18;
constexpr size_t kDerivedWidth = 21;
constexpr size_t kSkillWidth = 24;
constexpr size_t kValueWidth = 3;

void Pad(std::string &line, size_t width)
{
    if (line.size() < width)
        line.append(width - line.size(), ' ');
}

// "label" padded to `width`, then the value right-aligned in the value column.
std::string Cell(const std::string &label, int16_t value, size_t width)
{
    std::string cell = label;
    Pad(cell, width);
    const std::string number = NumberText(value);
    if (number.size() < kValueWidth)
        cell.append(kValueWidth - number.size(), ' ');
    return cell + number;
}

void EndLine(std::string &out, std::string line)
{
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    out += line;
    out += '\n';
}

// A line of one or two cells, after the margin. The second column starts past the first one's
// label and value and a gap; a wide value pushes it, never touches it.
void EndTwoCellLine(std::string &out, const std::string &first, const std::string &second,
                    size_t firstWidth)
{
    std::string line = "  " + first;
    if (!second.empty()) {
        line += "   ";
        Pad(line, 2 + firstWidth + kValueWidth + 3);
        line += second;
    }
    EndLine(out, line);
}

std::string SkillCell(const CharacterRecordType &record, const SkillRow &row)
{
    // Skills stand indented under the base of their group.
    std::string label = row.isBase ? "" : "  ";
    label += row.label;
    return Cell(label, record.*(row.field), kSkillWidth);
}

// The text sheet's labels are the printed captions, character for character: a caption the
// sheet prints without a colon has none here either.
std::string TextLabel(const sheet::Entry &entry)
{
    return sheet::PrintedCaption(entry.caption);
}

// The fields whose box lies inside the named rectangle of the printed sheet, top to bottom.
std::vector<const sheet::Entry *> FieldsIn(const char *rectangle)
{
    const TwipsRect area = sheet::FindEntry(rectangle)->rect;
    std::vector<const sheet::Entry *> fields;
    for (const sheet::Entry &entry : sheet::SheetEntries()) {
        if (entry.kind == sheet::Kind::Field && entry.source != sheet::Source::Nothing && area.Contains(entry.boxRect))
            fields.push_back(&entry);
    }
    std::stable_sort(fields.begin(), fields.end(), [](const sheet::Entry *a, const sheet::Entry *b) {
        return a->boxRect.top < b->boxRect.top;
    });
    return fields;
}

// Those fields in columns by their box's left edge, left column first.
std::vector<std::vector<const sheet::Entry *>> Columns(const char *rectangle)
{
    std::vector<std::vector<const sheet::Entry *>> columns;
    std::vector<int> lefts;
    for (const sheet::Entry *entry : FieldsIn(rectangle)) {
        auto at = std::find(lefts.begin(), lefts.end(), entry->boxRect.left);
        if (at == lefts.end()) {
            lefts.push_back(entry->boxRect.left);
            columns.emplace_back();
            at = lefts.end() - 1;
        }
        columns[size_t(at - lefts.begin())].push_back(entry);
    }
    std::vector<size_t> order(columns.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return lefts[a] < lefts[b]; });
    std::vector<std::vector<const sheet::Entry *>> sorted;
    for (size_t i : order)
        sorted.push_back(std::move(columns[i]));
    return sorted;
}

} // namespace

std::vector<SkillRow> SkillColumn(int column)
{
    std::vector<SkillRow> rows;
    const auto columns = Columns("Shape3");
    if (column < 0 || size_t(column) >= columns.size())
        return rows;
    for (const sheet::Entry *entry : columns[size_t(column)])
        rows.push_back({TextLabel(*entry), entry->number, (entry->font.style & Underline) != 0});
    return rows;
}

const std::vector<SkillRow> &LeftSkillColumn()
{
    static const std::vector<SkillRow> rows = SkillColumn(0);
    return rows;
}

const std::vector<SkillRow> &RightSkillColumn()
{
    static const std::vector<SkillRow> rows = SkillColumn(1);
    return rows;
}

std::string SheetText(const CharacterRecordType &record)
{
    std::string out;
    out.reserve(3072);

    auto heading = [&](const char *name) {
        out += sheet::PrintedCaption(sheet::FindEntry(name)->caption);
        out += '\n';
    };
    auto identity = [&](const char *rectangle) {
        for (const sheet::Entry *entry : FieldsIn(rectangle)) {
            std::string line = "  " + TextLabel(*entry);
            Pad(line, kIdentityWidth);
            EndLine(out, line + sheet::BoxText(*entry, record));
        }
    };

    heading("lblTitle");
    out += '\n';
    heading("lblIdentification");
    identity("Shape2");
    out += '\n';
    heading("lblSecretStuff");
    identity("Shape5");

    out += '\n';
    heading("lblAttributes");
    const auto pairs = Columns("Shape1");
    std::vector<int> tops;
    for (const auto &column : pairs) {
        for (const sheet::Entry *entry : column)
            tops.push_back(entry->boxRect.top);
    }
    std::sort(tops.begin(), tops.end());
    tops.erase(std::unique(tops.begin(), tops.end()), tops.end());
    auto at = [&](size_t column, int top) -> const sheet::Entry * {
        if (column >= pairs.size())
            return nullptr;
        for (const sheet::Entry *entry : pairs[column]) {
            if (entry->boxRect.top == top)
                return entry;
        }
        return nullptr;
    };
    auto cell = [&](const sheet::Entry *entry, size_t width) {
        return entry ? Cell(TextLabel(*entry), record.*(entry->number), width) : std::string();
    };
    for (int top : tops)
        EndTwoCellLine(out, cell(at(0, top), kAttributeWidth), cell(at(1, top), kDerivedWidth),
                       kAttributeWidth);

    out += "\nSkills\n";
    const std::vector<SkillRow> &left = LeftSkillColumn();
    const std::vector<SkillRow> &right = RightSkillColumn();
    for (size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
        EndTwoCellLine(out, i < left.size() ? SkillCell(record, left[i]) : std::string(),
                       i < right.size() ? SkillCell(record, right[i]) : std::string(), kSkillWidth);
    }
    return out;
}

} // namespace quelvane::roll
