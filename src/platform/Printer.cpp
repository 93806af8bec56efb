#include "platform/Printer.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/CupsJob.h"
#include "platform/FileWriter.h"

namespace quelvane {
namespace {

void SetError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// The system's default destination, through CUPS.
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
        // The printer's own default paper and printable area, as its driver describes them.
        QPrinter printer(info, QPrinter::HighResolution);
        if (printer.outputFormat() != QPrinter::NativeFormat || !printer.isValid()) {
            SetError(error, QStringLiteral("The printer \"%1\" cannot be used.").arg(info.printerName()));
            return false;
        }
        // Drawn into a PDF in memory and handed to the print system directly: QPainter::end()
        // on a printer says nothing of whether the scheduler took the job.
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QString reason;
        if (!PrintToPdf(buffer, printer.pageLayout(), printer.resolution(), job, &reason)) {
            SetError(error, QStringLiteral("The printer \"%1\" did not take the job. %2")
                                .arg(info.printerName(), reason));
            return false;
        }
        buffer.close();
        return SubmitPdfToDefaultDestination(pdf, job.title, error);
    }

    bool HasDefaultPrinter() override { return !QPrinterInfo::defaultPrinter().isNull(); }
};

PrinterBackend *g_backend = nullptr;

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

PdfFilePrinter::PdfFilePrinter(QString path, const QPageLayout &layout)
    : path_(std::move(path)), layout_(layout)
{
}

QPageLayout PdfFilePrinter::DefaultLayout()
{
    return PdfPageLayout(QPageSize(QPageSize::A4));
}

bool PdfFilePrinter::Print(const PrintJob &job, QString *error)
{
    // Drawn into memory, then handed to the one file writer: the PDF gets every rule a save
    // has (links stay links, hard links are not split, the mode is kept, nothing is left
    // behind by a crash).
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    if (!PrintToPdf(buffer, layout_, kDotsPerInch, job, error))
        return false;
    buffer.close();
    if (!pdf.right(16).contains("%%EOF")) {
        SetError(error, QStringLiteral("%1 cannot be written: the file came out incomplete.").arg(path_));
        return false;
    }
    const WriteResult written = WriteFileSafely(QFile::encodeName(path_).toStdString(),
                                                std::string_view(pdf.constData(), size_t(pdf.size())));
    if (!written.ok()) {
        SetError(error, QStringLiteral("%1 cannot be written: %2")
                            .arg(path_, QString::fromLocal8Bit(WriteErrorText(written).c_str())));
        return false;
    }
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
