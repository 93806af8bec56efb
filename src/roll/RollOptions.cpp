#include "roll/RollOptions.h"

#include <cstdint>
#include <limits>
#include <string_view>

#include "version.h"

namespace quelvane::roll {
namespace {

enum class NumberError { None, NotANumber, TooLarge };

// Decimal digits only: no sign, blanks or base prefix. `value` is set only on None.
NumberError ParseWholeNumber(const std::string &text, uint64_t max, uint64_t &value)
{
    if (text.empty())
        return NumberError::NotANumber;
    for (char c : text) {
        if (c < '0' || c > '9')
            return NumberError::NotANumber;
    }
    uint64_t result = 0;
    for (char c : text) {
        const uint64_t digit = uint64_t(c - '0');
        if (result > (max - digit) / 10)
            return NumberError::TooLarge;
        result = result * 10 + digit;
    }
    value = result;
    return NumberError::None;
}

enum class Option { Count, Seed, Out, Pdf, Paper, Json, Quiet, Help, Version };

struct OptionDef {
    Option option;
    const char *longName;  // without the leading "--"
    char shortName;        // 0 when there is none
    bool takesValue;
};

constexpr OptionDef kOptions[] = {
    {Option::Count, "count", 'n', true},
    {Option::Seed, "seed", 0, true},
    {Option::Out, "out", 'o', true},
    {Option::Pdf, "pdf", 0, true},
    {Option::Paper, "paper", 0, true},
    {Option::Json, "json", 0, false},
    {Option::Quiet, "quiet", 'q', false},
    {Option::Help, "help", 'h', false},
    {Option::Version, "version", 0, false},
};

const OptionDef *FindLong(std::string_view name)
{
    for (const OptionDef &def : kOptions) {
        if (name == def.longName)
            return &def;
    }
    return nullptr;
}

const OptionDef *FindShort(char name)
{
    for (const OptionDef &def : kOptions) {
        if (def.shortName != 0 && def.shortName == name)
            return &def;
    }
    return nullptr;
}

std::string Quoted(const std::string &text)
{
    // Built piece by piece: "'" + a temporary trips a false -Wrestrict in GCC 12 -O2.
    std::string quoted(1, '\'');
    quoted += Printable(text);
    quoted += '\'';
    return quoted;
}

ParseResult Fail(std::string error)
{
    ParseResult result;
    result.outcome = ParseOutcome::Error;
    result.error = std::move(error);
    return result;
}

// Applies one option to `result`; a value it cannot take makes the whole result an Error.
void Apply(const OptionDef &def, const std::string &value, ParseResult &result)
{
    RollOptions &options = result.options;
    const auto reject = [&result](std::string error) { result = Fail(std::move(error)); };
    switch (def.option) {
    case Option::Count: {
        uint64_t count = 0;
        switch (ParseWholeNumber(value, uint64_t(kMaxCount), count)) {
        case NumberError::NotANumber:
            return reject("count " + Quoted(value) + " is not a whole number (1 to 10000)");
        case NumberError::TooLarge:
            return reject("count " + Printable(value) + " is out of range (1 to 10000)");
        case NumberError::None:
            break;
        }
        if (count < uint64_t(kMinCount))
            return reject("count " + Printable(value) + " is out of range (1 to 10000)");
        options.count = int(count);
        return;
    }
    case Option::Seed: {
        uint64_t seed = 0;
        switch (ParseWholeNumber(value, std::numeric_limits<uint64_t>::max(), seed)) {
        case NumberError::NotANumber:
            return reject("seed " + Quoted(value) + " is not a whole number (0 to 18446744073709551615)");
        case NumberError::TooLarge:
            return reject("seed " + Printable(value) + " is too large (0 to 18446744073709551615)");
        case NumberError::None:
            break;
        }
        options.seed = seed;
        return;
    }
    case Option::Out:
        if (value.empty())
            return reject("option '--out' needs a folder name");
        options.outDir = value;
        return;
    case Option::Pdf:
        if (value.empty())
            return reject("option '--pdf' needs a file name");
        options.pdfPath = value;
        return;
    case Option::Paper:
        if (value == "a4" || value == "A4") {
            options.paper = Paper::A4;
        } else if (value == "letter" || value == "Letter") {
            options.paper = Paper::Letter;
        } else {
            return reject("paper " + Quoted(value) + " is not a4 or letter");
        }
        return;
    case Option::Json:
        options.json = true;
        return;
    case Option::Quiet:
        options.quiet = true;
        return;
    case Option::Help:
        result.outcome = ParseOutcome::Help;
        return;
    case Option::Version:
        result.outcome = ParseOutcome::Version;
        return;
    }
}

} // namespace

std::string Printable(const std::string &text)
{
    std::string out = text;
    for (char &c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            c = '?';
    }
    return out;
}

ParseResult ParseRollArguments(const std::vector<std::string> &args)
{
    ParseResult result;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const OptionDef *def = nullptr;
        std::string shownName; // as the user wrote it, for messages
        std::optional<std::string> inlineValue;

        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            return Fail("unexpected argument " + Quoted(arg) + " (see --help)");
        } else if (arg == "--") {
            optionsEnded = true;
            continue;
        } else if (arg.starts_with("--")) {
            const size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? equals : equals - 2);
            if (equals != std::string::npos)
                inlineValue = arg.substr(equals + 1);
            shownName = "--" + name;
            def = FindLong(name);
        } else {
            shownName = arg.substr(0, 2);
            def = FindShort(arg[1]);
            if (arg.size() > 2) {
                if (def && !def->takesValue)
                    return Fail("unknown option " + Quoted(arg) + " (see --help)");
                inlineValue = arg.substr(2);
            }
        }
        if (!def)
            return Fail("unknown option " + Quoted(shownName) + " (see --help)");

        std::string value;
        if (def->takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                return Fail("option " + Quoted(shownName) + " needs a value");
            }
        } else if (inlineValue) {
            return Fail("option " + Quoted(shownName) + " takes no value");
        }

        Apply(*def, value, result);
        if (result.outcome != ParseOutcome::Roll)
            return result;
    }
    return result;
}

std::string HelpText()
{
    return "Usage: quelvane-roll [OPTION]...\n"
           "Roll Quelvane Cadrelants without a window and print their character sheets.\n"
           "\n"
           "  -n, --count N   roll N characters, 1 to 10000 (default 1)\n"
           "      --seed S    seed the rolls with S, 0 to 18446744073709551615; the same seed\n"
           "                  gives the same characters (default: a seed from the clock)\n"
           "  -o, --out DIR   also write each character to DIR as NAME.tbl, creating DIR when\n"
           "                  its parent exists; an existing file is never replaced, the new\n"
           "                  one gets a suffix (NAME-2.tbl)\n"
           "      --pdf FILE  also write every sheet into the PDF file FILE, one page each, as\n"
           "                  the window prints it (replaces FILE; needs no display)\n"
           "      --paper P   the PDF's paper: a4 or letter (default: the locale's, LC_PAPER)\n"
           "      --json      print the records as JSON instead of text sheets\n"
           "  -q, --quiet     print no sheets and no JSON; standard error still shows the\n"
           "                  seed, the progress and what was written, and every error\n"
           "  -h, --help      show this help and exit\n"
           "      --version   show the version and exit\n"
           "\n"
           "The seed used is printed on standard error, so a good roll can be repeated.\n"
           "On a terminal, a run of -o or --pdf that takes more than a second shows how far\n"
           "it has come.\n"
           "Exit status: 0 done, 1 a write failed, 2 bad input (nothing is written).\n";
}

std::string VersionText()
{
    return "quelvane-roll " QUELVANE_VERSION_STRING "\n";
}

} // namespace quelvane::roll
