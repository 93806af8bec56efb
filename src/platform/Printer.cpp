#include "platform/Printer.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace quelvane {
namespace {

void SetError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// The system's default destination, through the print system Qt was built with (CUPS here).
class SystemPrinter final : public PrinterBackend {
public:
    bool Print(const PrintJob &job, QString *error) override
    {
        // Without a destination QPrinter still claims to be valid and quietly turns into a
        // PDF writer with no file, so ask for the default destination first.
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            SetError(error, QStringLiteral("No default printer is set up on this computer."));
            return false;
        }
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName(job.title);
        if (printer.outputFormat() != QPrinter::NativeFormat || !printer.isValid()) {
            SetError(error, QStringLiteral("The printer \"%1\" cannot be used.").arg(info.printerName()));
            return false;
        }
        QString reason;
        if (!PrintOnDevice(printer, job, &reason)) {
            SetError(error, QStringLiteral("The printer \"%1\" did not take the job. %2")
                                .arg(info.printerName(), reason));
            return false;
        }
        return true;
    }

    bool HasDefaultPrinter() override { return !QPrinterInfo::defaultPrinter().isNull(); }
};

PrinterBackend *g_backend = nullptr;

// The PDF engine does not report failed writes; a file it finished ends with its trailer.
bool EndsLikeAPdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16)
        return false;
    file.seek(file.size() - 16);
    return file.read(16).contains("%%EOF");
}

} // namespace

PrinterBackend *SetPrinterBackend(PrinterBackend *backend)
{
    PrinterBackend *previous = g_backend;
    g_backend = backend;
    return previous;
}

PrinterBackend &CurrentPrinter()
{
    static SystemPrinter system;
    return g_backend ? *g_backend : system;
}

bool PrintOnDevice(QPagedPaintDevice &device, const PrintJob &job, QString *error)
{
    if (job.pageCount < 1 || !job.drawPage) {
        SetError(error, QStringLiteral("There is nothing to print."));
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        SetError(error, QStringLiteral("The print job could not be started."));
        return false;
    }
    const int dpi = device.logicalDpiX();
    const QPageLayout layout = device.pageLayout();
    PrintPage page;
    page.dotsPerInch = dpi;
    page.paper = QRectF(layout.fullRectPixels(dpi));
    page.printable = QRectF(layout.paintRectPixels(dpi));
    for (int i = 0; i < job.pageCount; ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            SetError(error, QStringLiteral("Page %1 could not be started.").arg(i + 1));
            return false;
        }
        painter.save();
        // The device puts the origin at the printable area's corner; drawers work on paper.
        painter.translate(-page.printable.topLeft());
        job.drawPage(painter, page, i);
        painter.restore();
    }
    if (!painter.end()) {
        SetError(error, QStringLiteral("The print job could not be finished."));
        return false;
    }
    return true;
}

PdfFilePrinter::PdfFilePrinter(QString path, const QPageLayout &layout)
    : path_(std::move(path)), layout_(layout)
{
}

QPageLayout PdfFilePrinter::DefaultLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

bool PdfFilePrinter::Print(const PrintJob &job, QString *error)
{
    // Written beside the target and moved over it only when complete. Created as any new
    // file is, so the PDF gets 0666 less the umask, which is never touched here: changing
    // it, even for a moment, would change it for every thread of the process.
    QString partial;
    for (int attempt = 0; attempt < 100 && partial.isEmpty(); ++attempt) {
        const QString name = path_ + QStringLiteral(".%1").arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
        QFile file(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            partial = name;
        } else if (!QFile::exists(name)) { // taken names are tried again, anything else fails
            SetError(error, QStringLiteral("%1 cannot be written: %2").arg(path_, file.errorString()));
            return false;
        }
    }
    if (partial.isEmpty()) {
        SetError(error, QStringLiteral("%1 cannot be written: no free name beside it").arg(path_));
        return false;
    }
    auto fail = [&](const QString &reason) {
        QFile::remove(partial);
        if (!reason.isEmpty())
            SetError(error, QStringLiteral("%1 cannot be written: %2").arg(path_, reason));
        return false;
    };
    bool printed = false;
    {
        // A printer, not a bare PDF writer: the same kind of device as a real print.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(partial);
        printer.setResolution(kDotsPerInch);
        printer.setPageLayout(layout_);
        printer.setDocName(job.title);
        printed = PrintOnDevice(printer, job, error);
    } // the printer has closed the file
    if (!printed)
        return fail({});
    if (!EndsLikeAPdf(partial))
        return fail(QStringLiteral("the file came out incomplete."));
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path_).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    return true;
}

RecordingPrinter::RecordingPrinter(const QPageLayout &layout, qreal dotsPerInch)
    : layout_(layout), dpi_(dotsPerInch)
{
}

bool RecordingPrinter::Print(const PrintJob &job, QString *error)
{
    if (!failure.isEmpty()) {
        SetError(error, failure);
        return false;
    }
    titles.append(job.title);
    const int dpi = qRound(dpi_);
    PrintPage page;
    page.dotsPerInch = dpi;
    page.paper = QRectF(layout_.fullRectPixels(dpi));
    page.printable = QRectF(layout_.paintRectPixels(dpi));
    for (int i = 0; i < job.pageCount; ++i) {
        QPicture picture;
        QPainter painter(&picture);
        job.drawPage(painter, page, i);
        painter.end();
        pages.append(picture);
        geometry.append(page);
    }
    return true;
}

} // namespace quelvane
