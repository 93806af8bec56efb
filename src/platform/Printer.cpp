#include "platform/Printer.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

#include <functional>
#include <optional>

#include "model/SetError.h"
#include "platform/CupsJob.h"
#include "platform/FileIo.h"

namespace quelvane {
namespace {

bool g_abandoned = false;

// Runs `work` on a pool thread while the window goes on painting and taking clicks (Exit
// included); nothing when the program began to end before the work did.
template <typename T>
std::optional<T> AwayFromUi(std::function<T()> work)
{
    QFuture<T> future = QtConcurrent::run(std::move(work));
    if (!future.isFinished()) {
        QEventLoop loop;
        QFutureWatcher<T> watcher;
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(future);
        if (!future.isFinished())
            loop.exec();
    }
    if (!future.isFinished()) {
        g_abandoned = true; // the pool finishes it, within its bounded waits, as the program ends
        return std::nullopt;
    }
    return future.result();
}

// The system's default destination, through CUPS. Every call that may wait on the print
// system runs away from the window's thread, and waits at most a few seconds there.
class SystemPrinter final : public PrinterBackend {
public:
    bool Print(const PrintJob &job, QString *error) override
    {
        // The printer HasDefaultPrinter found, so that the sheet is drawn right after that
        // wait; otherwise a lookup of its own.
        std::optional<DefaultPrinter> printer = std::move(found_);
        found_.reset();
        if (!printer)
            printer = Lookup();
        if (!printer)
            return SetError(error, QStringLiteral("No default printer is set up on this computer."));
        // Drawn into a PDF in memory on the printer's own default paper and printable area,
        // and handed to the print system directly.
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QString reason;
        if (!PrintToPdf(buffer, printer->layout, printer->dotsPerInch, job, &reason))
            return SetError(error, JobNotTakenText(printer->name, reason));
        buffer.close();
        struct Sent {
            bool ok = false;
            QString error;
        };
        const QString name = printer->name, title = job.title;
        const std::optional<Sent> sent = AwayFromUi<Sent>([name, pdf, title] {
            Sent result;
            result.ok = SubmitPdf(name, pdf, title, &result.error);
            return result;
        });
        if (!sent)
            return SetError(error, QStringLiteral("The program is ending."));
        if (!sent->ok)
            return SetError(error, sent->error);
        return true;
    }

    bool HasDefaultPrinter() override
    {
        found_ = Lookup();
        return found_.has_value();
    }

private:
    static std::optional<DefaultPrinter> Lookup()
    {
        return AwayFromUi<std::optional<DefaultPrinter>>([] { return FindDefaultPrinter(); })
            .value_or(std::nullopt);
    }

    std::optional<DefaultPrinter> found_;
};

} // namespace

bool PrintWaitAbandoned()
{
    return g_abandoned;
}

constinit Seam<PrinterBackend> PrinterSeam(MadeOnFirstUse<PrinterBackend, SystemPrinter>);

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
    if (!pdf.right(16).contains("%%EOF"))
        return SetError(error, QStringLiteral("%1 cannot be written: the file came out incomplete.").arg(path_));
    const FileResult written = SaveFileReplacing(path_, std::string_view(pdf.constData(), size_t(pdf.size())));
    if (!written.ok())
        return SetError(error, QStringLiteral("%1 cannot be written: %2")
                                   .arg(path_, QString::fromLocal8Bit(FileErrorText(written))));
    return true;
}

RecordingPrinter::RecordingPrinter(const QPageLayout &layout, qreal dotsPerInch)
    : layout_(layout), dpi_(dotsPerInch)
{
}

bool RecordingPrinter::Print(const PrintJob &job, QString *error)
{
    if (!failure.isEmpty())
        return SetError(error, failure);
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
