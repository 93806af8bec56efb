#include "roll/RollCommand.h"

#include <ostream>

#include <unistd.h>

#include "model/Random.h"
#include "roll/OutputFiles.h"
#include "roll/PdfProgress.h"
#include "roll/RecordJson.h"
#include "roll/RollOptions.h"
#include "roll/SheetText.h"
#include "roll/TakeBack.h"

namespace quelvane::roll {
namespace {

constexpr const char *kProgram = "quelvane-roll: ";
constexpr const char *kStdoutFailed = "cannot write to standard output";

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
    const Override seeded(RandomSourceSeam, random);
    std::vector<CharacterRecordType> records(size_t(count > 0 ? count : 0));
    for (CharacterRecordType &record : records)
        GenerateInto(record);
    return records;
}

int RunRoll(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
            const PdfRenderer &renderPdf, const TerminalClock &terminal)
{
    const ParseResult parsed = ParseRollArguments(args);
    switch (parsed.outcome) {
    case ParseOutcome::Error:
        return Report(err, parsed.error, kExitBadInput);
    case ParseOutcome::Help:
        out << HelpText();
        out.flush();
        return out ? kExitOk : Report(err, kStdoutFailed, kExitWriteFailed);
    case ParseOutcome::Version:
        out << VersionText();
        out.flush();
        return out ? kExitOk : Report(err, kStdoutFailed, kExitWriteFailed);
    case ParseOutcome::Roll:
        break;
    }
    const RollOptions &options = parsed.options;

    // What this run has created so far, so that a failure can take all of it back. A
    // signal takes it back too: each step that creates something lists it in the same
    // TakeBackStep, and the lists are cleared once the run has succeeded.
    bool createdFolder = false;
    std::vector<std::string> written;
    auto fail = [&](const std::string &problem, int status) {
        {
            const TakeBackStep step;
            RemoveFiles(written);
            if (createdFolder)
                ::rmdir(options.outDir.c_str());
            ClearTakeBack();
        }
        return Report(err, problem, status);
    };

    // Every check that can refuse the input runs before anything is written; a missing
    // folder for -o is made first, so that --pdf may name a file inside it.
    if (!options.outDir.empty()) {
        StepResult prepared;
        {
            const TakeBackStep step;
            ClearTakeBack();
            prepared = PrepareFolder(options.outDir, createdFolder);
            if (createdFolder)
                TakeBackFolder(options.outDir);
        }
        if (!prepared.ok())
            return fail(prepared.message, kExitBadInput);
    }
    if (!options.pdfPath.empty()) {
        StepResult checked;
        {
            const TakeBackStep step;
            checked = CheckPdfPath(options.pdfPath);
        }
        if (!checked.ok())
            return fail(checked.message, kExitBadInput);
    }

    const uint64_t seed = options.seed ? *options.seed : ClockSeed();
    err << kProgram << "seed " << seed << '\n';
    err.flush();

    const std::vector<CharacterRecordType> records = RollCharacters(seed, options.count);

    if (!options.outDir.empty()) {
        // One file per step, so that a signal waits for one file at most.
        std::vector<CharacterRecordType> one(1);
        std::vector<std::string> path;
        PdfProgress progress(bool(terminal), [&err](const std::string &text) { err << text << std::flush; },
                             "files");
        const int total = int(records.size());
        int done = 0;
        for (const CharacterRecordType &record : records) {
            one.front() = record;
            StepResult saved;
            {
                const TakeBackStep step;
                saved = WriteCharacterFiles(options.outDir, one, path);
                for (const std::string &file : path) {
                    written.push_back(file);
                    TakeBackFile(file);
                }
            }
            if (!saved.ok()) {
                progress.Finish();
                return fail(saved.message, kExitWriteFailed);
            }
            if (terminal)
                progress.Update(++done, total, terminal());
        }
        progress.Finish();
    }
    // Drawn in memory: until the last step nothing of the PDF is on disk for a failure or a
    // signal to leave behind.
    std::string pdf;
    if (!options.pdfPath.empty()) {
        const StepResult drawn = renderPdf(pdf, records, options.paper);
        if (!drawn.ok())
            return fail(drawn.message, kExitWriteFailed);
    }

    if (options.quiet) {
        // Nothing for standard output: the files and the PDF are the run's result.
    } else if (options.json) {
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
        return fail(kStdoutFailed, kExitWriteFailed);

    // Last, so that any failure before it leaves an older PDF of that name as it was. From
    // the moment the PDF is in place the run has succeeded, and a signal takes nothing back.
    {
        StepResult placed;
        {
            const TakeBackStep step;
            if (!options.pdfPath.empty())
                placed = WritePdfFile(options.pdfPath, pdf);
            if (placed.ok())
                ClearTakeBack();
        }
        if (!placed.ok())
            return fail(placed.message, kExitWriteFailed);
    }

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
