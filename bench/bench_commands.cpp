// Every user command timed in-process under the offscreen platform, from the click to the
// event loop being idle, the windows it opened painted. Appends one row per command.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "CommandTimer.h"
#include "Stats.h"
#include "forms/FormInstance.h"
#include "forms/Forms.h"
#include "forms/about/frmAbout.h"
#include "platform/Controls.h"
#include "forms/main/MainWindow.h"
#include "forms/sheet/OutputForm.h"
#include "forms/viewers/ViewSecret.h"
#include "forms/viewers/ViewSkills.h"
#include "forms/viewers/ViewStats.h"
#include "model/modTarvock.h"
#include "platform/FileDialog.h"
#include "platform/Printer.h"
#include "platform/Twips.h"

using namespace quelvane;
using quelvane::bench::CommandTimer;

namespace {

constexpr double kFrameMs = 16.0;
constexpr double kStretchMs = 5.0;
constexpr double kSheetMs = 100.0;

struct CommandCase {
    const char *name;
    const char *how;
    std::function<void()> prepare; // untimed, before every repetition
    std::function<void()> click;
    std::function<bool()> worked; // after every repetition: the command did its work
    std::function<void()> whenIdle = {}; // closes whatever the click left modal
    double limitMs = kFrameMs;
    double stretchMs = kStretchMs;
};

void Click(QPushButton *button)
{
    button->click();
}

bool Shown(QWidget *window)
{
    return window && window->isVisible();
}

// The file dialog answered at once, always with the same file.
class FixedFileDialog final : public FileDialogBackend {
public:
    explicit FixedFileDialog(QString path) : path_(std::move(path)) {}
    std::optional<QString> Show(QWidget *, const FileDialogRequest &) override { return path_; }

private:
    QString path_;
};

void OpenViewersAndSheet()
{
    ViewerWindow::ShowForm<ViewStats>();
    ViewerWindow::ShowForm<ViewSkills>();
    ViewerWindow::ShowForm<ViewSecret>();
    FormInstance<OutputForm>::Get();
}

bool ViewersAndSheetClosed()
{
    return !FormInstance<ViewStats>::IsLoaded() && !FormInstance<ViewSkills>::IsLoaded()
           && !FormInstance<ViewSecret>::IsLoaded() && !FormInstance<OutputForm>::IsLoaded();
}

template <class Viewer>
CommandCase FirstOpen(const char *name, QPushButton *button)
{
    return {name, "click its Main button, viewer not loaded: load, fill, show, paint",
            [] { FormInstance<Viewer>::Unload(); },
            [button] { Click(button); },
            [] { return Shown(FormInstance<Viewer>::IfLoaded()); }};
}

struct Files {
    QString character;
    QString sheet;
};

std::vector<CommandCase> Cases(MainWindow &main, const Files &files)
{
    const auto status = [&main] { return main.Label1->text(); };
    std::vector<CommandCase> cases;
    cases.push_back({"Generate", "click cmdGenerate with all viewers and the sheet open (closes them)",
                     [] { OpenViewersAndSheet(); },
                     [&] { Click(main.cmdGenerate); },
                     [=] {
                         return ViewersAndSheetClosed()
                                && status() == QString::fromStdString(CharacterRecord.Name) + " created.";
                     }});
    cases.push_back(FirstOpen<ViewStats>("first open ViewStats", main.cmdStats));
    cases.push_back(FirstOpen<ViewSkills>("first open ViewSkills", main.cmdSkills));
    cases.push_back(FirstOpen<ViewSecret>("first open ViewSecret", main.cmdSecret));
    // Both loaded, ViewStats in front: its button hides it and shows the hidden ViewSkills.
    cases.push_back({"switch viewers", "ViewStats -> ViewSkills by its button, both loaded",
                     [] {
                         ViewerWindow::ShowForm<ViewSkills>()->hide();
                         ViewerWindow::ShowForm<ViewStats>();
                     },
                     [] { Click(FormInstance<ViewStats>::Get()->cmdViewSkills); },
                     [] { return Shown(FormInstance<ViewSkills>::IfLoaded()) && !Shown(FormInstance<ViewStats>::IfLoaded()); }});
    // The dialog seam answers with one file in a private folder: Save writes it, Load reads it.
    // Over an existing file, as a second save is: the old bytes must give way to the record's.
    cases.push_back({"Save", "click cmdSave over an existing file, dialog answered at once, written and synced",
                     [&] {
                         QFile old(files.character);
                         if (old.open(QIODevice::WriteOnly | QIODevice::Truncate))
                             old.write("old");
                     },
                     [&] { Click(main.cmdSave); },
                     [=] { return QFile(files.character).size() > 100 && status() == files.character + " saved."; }});
    cases.push_back({"Load", "click cmdLoad, dialog answered at once, file read",
                     [] { CharacterRecord = {}; },
                     [&] { Click(main.cmdLoad); },
                     [=] { return !CharacterRecord.Name.empty() && status() == files.character + " loaded."; }});
    // Modal: timed until the box is up and painted; OK closes it untimed.
    auto aboutShown = std::make_shared<bool>(false);
    cases.push_back({"about box", "click Image1 until the modal box is painted and idle",
                     [=] { *aboutShown = false; },
                     [&] { QTest::mouseClick(main.Image1, Qt::LeftButton); },
                     [=] { return *aboutShown && !FormInstance<frmAbout>::IsLoaded(); },
                     [=] {
                         frmAbout *about = FormInstance<frmAbout>::IfLoaded();
                         *aboutShown = Shown(about) && QApplication::activeModalWidget() == about;
                         if (about)
                             about->cmdOK->click();
                     }});
    cases.push_back({"print sheet to PDF", "click cmdPrint, sheet not loaded: load, fill, draw into a PDF file",
                     [&] {
                         FormInstance<OutputForm>::Unload();
                         QFile::remove(files.sheet);
                     },
                     [&] { Click(main.cmdPrint); },
                     [=] { return QFile(files.sheet).size() > 0 && status() == "Quelvane Character Sheet printed."; },
                     {},
                     kSheetMs,
                     NAN});
    return cases;
}

QtMessageHandler g_defaultHandler = nullptr;

// The offscreen platform cannot raise windows and says so on every show; nothing else is hidden.
void QuietRaise(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.contains(QLatin1String("does not support raise()")))
        g_defaultHandler(type, context, message);
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
    g_defaultHandler = qInstallMessageHandler(QuietRaise);
    QApplication app(argc, argv);
    SetLogicalDpiForTesting(96);

    MainWindow main;
    SetMainForm(&main);
    main.show();
    CommandTimer timer;
    timer.Settle();

    QTemporaryDir folder;
    const Files files{folder.filePath(QStringLiteral("bench.tbl")), folder.filePath(QStringLiteral("sheet.pdf"))};
    FixedFileDialog dialog(files.character);
    const Override dialogs(FileDialogSeam, dialog);
    // Printed to a file, not spooled: the figure is the program's own drawing.
    PdfFilePrinter pdf(files.sheet);
    const Override printing(PrinterSeam, pdf);

    int status = 0;
    for (const CommandCase &command : Cases(main, files)) {
        if (only && std::strcmp(only, command.name))
            continue;
        std::vector<double> samples;
        samples.reserve(reps);
        double first = 0;
        long long events = 0, paints = 0;
        int failures = 0;
        // A few unrecorded rounds first: the figure is the steady state, the first is reported apart.
        const int warmup = 5;
        for (int i = 0; i < warmup + reps; ++i) {
            command.prepare();
            timer.Settle();
            const double ms = timer.Measure(command.click, command.whenIdle);
            if (!command.worked())
                ++failures;
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
        if (failures) {
            // A command that did not do its work has no figure worth printing.
            std::fprintf(stderr, "bench_commands: %s failed %d of %d times\n", command.name, failures,
                         warmup + reps);
            row.how = "FAILED: the command did not do its work";
            row.median = row.p90 = NAN;
            status = 1;
        }
        row.limit = command.limitMs;
        row.stretch = command.stretchMs;
        std::fprintf(stderr,
                     "bench_commands: %-28s median %.3f ms, p90 %.3f ms, first %.3f ms; per click %.1f events, %.1f paints\n",
                     command.name, row.median, row.p90, first, double(events) / reps, double(paints) / reps);
        if (!bench::AppendRow(out, row))
            status = 1;
    }

    UnloadAllForms();
    SetMainForm(nullptr);
    return status;
}
