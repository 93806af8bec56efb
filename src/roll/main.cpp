// quelvane-roll: rolls Cadrelants without a window.
#include <iostream>
#include <string>
#include <vector>

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPageSize>

#include <unistd.h>

#include "gui/Paper.h"
#include "gui/Utf8Locale.h"
#include "roll/PdfProgress.h"
#include "roll/RollCommand.h"
#include "roll/TakeBack.h"
#include "sheet/SheetPdfWriter.h"

namespace {

QtMessageHandler g_qtHandler = nullptr;

// On a bare server Qt notes that XDG_RUNTIME_DIR is unset; nothing here uses it, and the
// note would read like a problem with the PDF.
void QuietQtMessages(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (g_qtHandler) // the default handler, unless someone installed another
        g_qtHandler(type, context, message);
}

// Qt's GUI starts only here, for --pdf, and never needs a display.
quelvane::roll::StepResult RenderPdf(std::string &pdf,
                                     const std::vector<quelvane::CharacterRecordType> &records,
                                     quelvane::roll::Paper paper)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_qtHandler = qInstallMessageHandler(QuietQtMessages);
    int argc = 1;
    char name[] = "quelvane-roll";
    char *argv[] = {name, nullptr};
    quelvane::Utf8CharacterType utf8;
    QGuiApplication app(argc, argv);
    utf8.Restore();
    using quelvane::roll::Paper;
    const QPageSize size = paper == Paper::Locale ? quelvane::LocalePaperSize()
                           : paper == Paper::Letter ? QPageSize(QPageSize::Letter)
                                                    : QPageSize(QPageSize::A4);
    // Progress only on a terminal: into a pipe or a file standard error stays as it was.
    quelvane::roll::PdfProgress progress(::isatty(STDERR_FILENO) == 1, [](const std::string &text) {
        std::cerr << text << std::flush;
    });
    QElapsedTimer clock;
    clock.start();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    const bool drawn = quelvane::WriteSheetsPdf(buffer, records, size, &error, [&](int done, int total) {
        progress.Update(done, total, clock.elapsed());
    });
    progress.Finish();
    if (!drawn)
        return quelvane::roll::StepResult::Failure(error.isEmpty() ? "cannot draw the PDF" : error.toStdString());
    pdf.assign(bytes.constData(), size_t(bytes.size()));
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    std::ios::sync_with_stdio(false);
    // The thread that runs the command keeps the lists that a signal takes back.
    quelvane::roll::InstallTakeBackHandler();
    const std::vector<std::string> args(argv + 1, argv + argc);
    QElapsedTimer clock;
    clock.start();
    quelvane::roll::TerminalClock terminal;
    if (::isatty(STDERR_FILENO) == 1)
        terminal = [&clock] { return int64_t(clock.elapsed()); };
    return quelvane::roll::RunRoll(args, std::cout, std::cerr, RenderPdf, terminal);
}
