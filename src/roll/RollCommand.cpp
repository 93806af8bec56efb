#include "roll/RollCommand.h"

#include <ostream>

#include "model/Random.h"
#include "roll/OutputFiles.h"
#include "roll/RecordJson.h"
#include "roll/RollOptions.h"
#include "roll/SheetText.h"

namespace quelvane::roll {
namespace {

constexpr const char *kProgram = "quelvane-roll: ";

int Report(std::ostream &err, const std::string &message, int status)
{
    err << kProgram << message << '\n';
    err.flush();
    return status;
}

} // namespace

std::vector<CharacterRecordType> RollCharacters(uint64_t seed, int count)
{
    SeededRandom random(seed);
    RandomSource *previous = SetRandomSource(&random);
    std::vector<CharacterRecordType> records(size_t(count > 0 ? count : 0));
    for (CharacterRecordType &record : records)
        GenerateInto(record);
    SetRandomSource(previous);
    return records;
}

int RunRoll(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
            const PdfRenderer &renderPdf)
{
    const ParseResult parsed = ParseRollArguments(args);
    switch (parsed.outcome) {
    case ParseOutcome::Error:
        return Report(err, parsed.error, kExitBadInput);
    case ParseOutcome::Help:
        out << HelpText();
        out.flush();
        return out ? kExitOk : Report(err, "cannot write to standard output", kExitWriteFailed);
    case ParseOutcome::Version:
        out << VersionText();
        out.flush();
        return out ? kExitOk : Report(err, "cannot write to standard output", kExitWriteFailed);
    case ParseOutcome::Roll:
        break;
    }
    const RollOptions &options = parsed.options;

    // Every check that can refuse the input runs before anything is written.
    if (!options.outDir.empty()) {
        const std::string problem = CheckWritableFolder(options.outDir);
        if (!problem.empty())
            return Report(err, problem, kExitBadInput);
    }
    if (!options.pdfPath.empty()) {
        const std::string problem = CheckPdfPath(options.pdfPath);
        if (!problem.empty())
            return Report(err, problem, kExitBadInput);
    }

    const uint64_t seed = options.seed ? *options.seed : ClockSeed();
    err << kProgram << "seed " << seed << '\n';
    err.flush();

    const std::vector<CharacterRecordType> records = RollCharacters(seed, options.count);

    std::vector<std::string> written;
    if (!options.outDir.empty()) {
        const std::string problem = WriteCharacterFiles(options.outDir, records, written);
        if (!problem.empty())
            return Report(err, problem, kExitWriteFailed);
    }
    if (!options.pdfPath.empty()) {
        const std::string problem = renderPdf(options.pdfPath, records);
        if (!problem.empty()) {
            RemoveFiles(written); // a failed run leaves nothing behind
            return Report(err, problem, kExitWriteFailed);
        }
    }

    if (options.json) {
        out << RollJson(seed, records);
    } else {
        for (size_t i = 0; i < records.size(); ++i) {
            if (i > 0)
                out << '\n';
            out << SheetText(records[i]);
        }
    }
    out.flush();
    if (!out)
        return Report(err, "cannot write to standard output", kExitWriteFailed);

    if (!options.outDir.empty()) {
        err << kProgram << records.size() << (records.size() == 1 ? " file" : " files")
            << " written to " << Printable(options.outDir) << '\n';
    }
    if (!options.pdfPath.empty()) {
        err << kProgram << records.size() << (records.size() == 1 ? " page" : " pages")
            << " written to " << Printable(options.pdfPath) << '\n';
    }
    return kExitOk;
}

} // namespace quelvane::roll
