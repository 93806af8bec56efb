// Every user command timed in-process under the offscreen platform, from the click to the
// event loop being idle, the windows it opened painted. Appends one row per command.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include "CommandTimer.h"
#include "Stats.h"
#include "forms/Forms.h"
#include "forms/main/MainWindow.h"
#include "model/modTarvock.h"
#include "platform/FileDialog.h"
#include "platform/Twips.h"

using namespace quelvane;
using quelvane::bench::CommandTimer;

namespace {

constexpr double kFrameMs = 16.0;
constexpr double kStretchMs = 5.0;

struct CommandCase {
    const char *name;
    const char *how;
    std::function<void()> prepare; // untimed, before every repetition
    std::function<void()> click;
    std::function<void()> whenIdle = {}; // closes whatever the click left modal
    double limitMs = kFrameMs;
    double stretchMs = kStretchMs;
};

void Click(QPushButton *button)
{
    button->click();
}

// The file dialog answered at once, always with the same file.
class FixedFileDialog final : public FileDialogBackend {
public:
    explicit FixedFileDialog(QString path) : path_(std::move(path)) {}
    std::optional<QString> Show(QWidget *, const FileDialogRequest &) override { return path_; }

private:
    QString path_;
};

std::vector<CommandCase> Cases(MainWindow &main)
{
    std::vector<CommandCase> cases;
    cases.push_back({"Generate", "click cmdGenerate until idle",
                     [] {},
                     [&] { Click(main.cmdGenerate); }});
    // The dialog seam answers with one file in a private folder: Save writes it, Load reads it.
    cases.push_back({"Save", "click cmdSave, dialog answered at once, file written",
                     [] {},
                     [&] { Click(main.cmdSave); }});
    cases.push_back({"Load", "click cmdLoad, dialog answered at once, file read",
                     [] {},
                     [&] { Click(main.cmdLoad); }});
    return cases;
}

int Usage()
{
    std::fprintf(stderr, "usage: bench_commands [--reps N] [--only NAME] --out ROWS.tsv\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    int reps = 300;
    const char *out = nullptr;
    const char *only = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--reps") && i + 1 < argc)
            reps = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--out") && i + 1 < argc)
            out = argv[++i];
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc)
            only = argv[++i];
        else
            return Usage();
    }
    if (!out || reps < 1)
        return Usage();

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetLogicalDpiForTesting(96);

    MainWindow main;
    SetMainForm(&main);
    main.show();
    CommandTimer timer;
    timer.Settle();

    QTemporaryDir folder;
    FixedFileDialog dialog(folder.filePath(QStringLiteral("bench.tbl")));
    SetFileDialogBackend(&dialog);

    int status = 0;
    for (const CommandCase &command : Cases(main)) {
        if (only && std::strcmp(only, command.name))
            continue;
        std::vector<double> samples;
        samples.reserve(reps);
        double first = 0;
        long long events = 0, paints = 0;
        // A few unrecorded rounds first: the figure is the steady state, the first is reported apart.
        const int warmup = 5;
        for (int i = 0; i < warmup + reps; ++i) {
            command.prepare();
            timer.Settle();
            const double ms = timer.Measure(command.click, command.whenIdle);
            if (i == 0)
                first = ms;
            if (i >= warmup) {
                samples.push_back(ms);
                events += timer.LastEventCount();
                paints += timer.LastPaintCount();
            }
        }
        bench::Row row{command.name, command.how, "ms"};
        bench::SetSamples(row, samples);
        row.limit = command.limitMs;
        row.stretch = command.stretchMs;
        std::fprintf(stderr,
                     "bench_commands: %-28s median %.3f ms, p90 %.3f ms, first %.3f ms; per click %.1f events, %.1f paints\n",
                     command.name, row.median, row.p90, first, double(events) / reps, double(paints) / reps);
        if (!bench::AppendRow(out, row))
            status = 1;
    }

    UnloadAllForms();
    SetFileDialogBackend(nullptr);
    SetMainForm(nullptr);
    return status;
}
