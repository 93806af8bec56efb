// quelvane-roll: rolls Cadrelants without a window.
#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>

#include <unistd.h>

#include "platform/Paper.h"
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
std::string RenderPdf(const std::string &path, const std::vector<quelvane::CharacterRecordType> &records,
                      quelvane::roll::Paper paper)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_qtHandler = qInstallMessageHandler(QuietQtMessages);
    int argc = 1;
    char name[] = "quelvane-roll";
    char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    using quelvane::roll::Paper;
    const QPageSize size = paper == Paper::Locale ? quelvane::LocalePaperSize()
                           : paper == Paper::Letter ? QPageSize(QPageSize::Letter)
                                                    : QPageSize(QPageSize::A4);
    // Straight into the run's own staging file, filled from the start: a second file beside
    // it would be one more thing for a signal to leave behind.
    QFile file(QFile::decodeName(path.c_str()));
    const auto failed = [&](const QString &reason) {
        return "cannot write PDF '" + path + "': " + reason.toStdString();
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::ExistingOnly))
        return failed(file.errorString());
    // Progress only on a terminal: into a pipe or a file standard error stays as it was.
    quelvane::roll::PdfProgress progress(::isatty(STDERR_FILENO) == 1, [](const std::string &text) {
        std::cerr << text << std::flush;
    });
    QElapsedTimer clock;
    clock.start();
    QString error;
    const bool written = quelvane::WriteSheetsPdf(file, records, size, &error, [&](int done, int total) {
        progress.Update(done, total, clock.elapsed());
    });
    progress.Finish();
    if (!written)
        return error.isEmpty() ? "cannot write PDF '" + path + "'" : error.toStdString();
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return failed(file.errorString());
    if (::fsync(file.handle()) != 0)
        return failed(QString::fromLocal8Bit(std::strerror(errno)));
    file.close();
    if (file.error() != QFileDevice::NoError)
        return failed(file.errorString());
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    std::ios::sync_with_stdio(false);
    // The thread that runs the command keeps the lists that a signal takes back.
    quelvane::roll::InstallTakeBackHandler();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return quelvane::roll::RunRoll(args, std::cout, std::cerr, RenderPdf);
}
