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
            for (char c : record.*(field.text)) {
                // Doubled, or the reader would end the text here.
                if (c == '"')
                    out += '"';
                out += c;
            }
            out += '"';
        }
        out += "\r\n";
    }
    return out;
}

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Walks the fields of a character file. Remembers whether it ever ran into the end of the
// data: when the data was cut at the size cap, that means the answer is unknown.
class FieldReader {
public:
    explicit FieldReader(std::string_view data) : p_(data.data()), end_(data.data() + data.size()) {}

    bool ReachedEnd() const { return reachedEnd_; }

    // Skips the blanks before a field; false when no field is left.
    bool StartField()
    {
        while (!AtEnd(p_) && IsBlank(*p_))
            ++p_;
        return !AtEnd(p_);
    }

    std::string ReadText()
    {
        std::string text;
        if (*p_ == '"') {
            ++p_;
            // Up to the closing quote; a doubled quote is one quote. A missing closing quote
            // ends the text at the line end, so one slip does not swallow the fields after it.
            while (!AtEnd(p_) && !IsLineEnd(*p_)) {
                if (*p_ == '"') {
                    if (!AtEnd(p_ + 1) && p_[1] == '"') {
                        text += '"';
                        p_ += 2;
                        continue;
                    }
                    ++p_;
                    break;
                }
                text += *p_++;
            }
            return text;
        }
        while (!AtEnd(p_) && *p_ != ',' && !IsLineEnd(*p_))
            text += *p_++;
        // Blanks a hand edit left at the end of a line are not part of the text.
        while (!text.empty() && IsBlank(text.back()))
            text.pop_back();
        return text;
    }

    // The token up to the next blank, comma or line end.
    std::string_view ReadNumberToken()
    {
        const char *start = p_;
        while (!AtEnd(p_) && !IsBlank(*p_) && *p_ != ',' && !IsLineEnd(*p_))
            ++p_;
        return std::string_view(start, static_cast<std::size_t>(p_ - start));
    }

    // Moves past the separator that ends the current field, ignoring anything before it.
    void SkipToNextField()
    {
        while (!AtEnd(p_)) {
            const char c = *p_++;
            if (c == ',' || c == '\n')
                return;
            if (c == '\r') {
                if (!AtEnd(p_) && *p_ == '\n')
                    ++p_;
                return;
            }
        }
    }

private:
    bool AtEnd(const char *at)
    {
        if (at < end_)
            return false;
        reachedEnd_ = true;
        return true;
    }

    const char *p_;
    const char *end_;
    bool reachedEnd_ = false;
};

enum class NumberParse { Value, NotANumber, OutOfRange };

// Only an optional sign and decimal digits make a number; anything else reads as 0.
NumberParse ParseNumber(std::string_view token, int16_t &value)
{
    value = 0;
    bool negative = false;
    if (!token.empty() && (token.front() == '-' || token.front() == '+')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    if (token.empty())
        return NumberParse::NotANumber;
    long magnitude = 0;
    bool tooBig = false;
    for (char c : token) {
        if (c < '0' || c > '9')
            return NumberParse::NotANumber;
        if (!tooBig) {
            magnitude = magnitude * 10 + (c - '0');
            tooBig = magnitude > 32768;
        }
    }
    if (tooBig || magnitude > (negative ? 32768 : 32767))
        return NumberParse::OutOfRange;
    value = static_cast<int16_t>(negative ? -magnitude : magnitude);
    return NumberParse::Value;
}

} // namespace

ReadStatus ReadCharacterText(std::string_view bytes, CharacterRecordType &record)
{
    if (bytes.empty())
        return ReadStatus::Empty;
    // Before anything else: a binary file must not pass as a record of zeros and junk texts.
    if (bytes.find('\0') != std::string_view::npos)
        return ReadStatus::NotText;
    const bool cut = bytes.size() > kMaxCharacterFileBytes;
    std::string_view data = bytes.substr(0, kMaxCharacterFileBytes);
    // Editors on Windows start a UTF-8 file with a byte-order mark; it is no part of field 1.
    if (data.starts_with(kUtf8ByteOrderMark)) {
        data.remove_prefix(kUtf8ByteOrderMark.size());
        // What such an editor saves for an empty document.
        if (data.empty())
            return ReadStatus::Empty;
    }
    FieldReader reader(data);
    // Whatever fails part-way leaves the caller's record untouched.
    CharacterRecordType scratch;

    for (int i = 0; i < kFieldCount; ++i) {
        const FieldDef &field = kFields[i];
        if (!reader.StartField())
            return cut ? ReadStatus::TooLarge : ReadStatus::EndedEarly;
        NumberParse parse = NumberParse::Value;
        if (field.kind == FieldKind::Text) {
            scratch.*(field.text) = reader.ReadText();
        } else {
            parse = ParseNumber(reader.ReadNumberToken(), scratch.*(field.number));
        }
        if (cut && reader.ReachedEnd())
            return ReadStatus::TooLarge;
        if (parse == NumberParse::OutOfRange)
            return ReadStatus::NumberOutOfRange;
        if (i + 1 < kFieldCount)
            reader.SkipToNextField();
    }
    record = std::move(scratch);
    return ReadStatus::Ok;
}

const char *ReadStatusName(ReadStatus status)
{
    switch (status) {
    case ReadStatus::Ok:
        return "Ok";
    case ReadStatus::Empty:
        return "Empty";
    case ReadStatus::EndedEarly:
        return "EndedEarly";
    case ReadStatus::NumberOutOfRange:
        return "NumberOutOfRange";
    case ReadStatus::TooLarge:
        return "TooLarge";
    case ReadStatus::NotText:
        return "NotText";
    }
    return "?";
}

} // namespace quelvane
