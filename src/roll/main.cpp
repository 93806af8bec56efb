// quelvane-roll: rolls Cadrelants without a window.
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QPageSize>

#include "forms/sheet/SheetPdf.h"
#include "platform/Printer.h"
#include "roll/RollCommand.h"

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
    QApplication app(argc, argv);
    QString error;
    using quelvane::roll::Paper;
    const QPageSize size = paper == Paper::Locale ? quelvane::LocalePaperSize()
                           : paper == Paper::Letter ? QPageSize(QPageSize::Letter)
                                                    : QPageSize(QPageSize::A4);
    if (!quelvane::RenderSheetsToPdf(QFile::decodeName(path.c_str()), records, &error, size))
        return error.isEmpty() ? "cannot write PDF '" + path + "'" : error.toStdString();
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return quelvane::roll::RunRoll(args, std::cout, std::cerr, RenderPdf);
}
