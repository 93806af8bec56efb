// Printing behind a seam: the system's default printer for the program, a PDF file for
// batch output and tests, a recording backend for tests of the commands.
#pragma once

#include <QList>
#include <QPageLayout>
#include <QPicture>
#include <QString>

#include "model/Seam.h"

#include "gui/Paper.h"
#include "gui/PrintJob.h"

namespace quelvane {

class PrinterBackend {
public:
    virtual ~PrinterBackend() = default;
    // Prints the whole job; false, with a reason a user can read, when it cannot.
    virtual bool Print(const PrintJob &job, QString *error) = 0;
    // False when there is no default printer to send a job to: none is set up, or the print
    // system cannot be reached. The next Print goes to the printer found here.
    virtual bool HasDefaultPrinter() { return true; }
};

// True once a wait on the print system was cut short because the program began to end (Exit
// during a print): nothing more should be shown for that print.
bool PrintWaitAbandoned();

// The system's default printer unless an Override puts another backend in place.
extern Seam<PrinterBackend> PrinterSeam;
inline PrinterBackend &CurrentPrinter() { return PrinterSeam.Current(); }

// A PDF file, drawn in memory and written through SaveFileReplacing (platform/FileIo.h).
class PdfFilePrinter final : public PrinterBackend {
public:
    explicit PdfFilePrinter(QString path, const QPageLayout &layout = DefaultLayout());
    bool Print(const PrintJob &job, QString *error) override;

    // A4 portrait with the PDF's room to the paper's edges: a sheet keeps its designed size.
    static QPageLayout DefaultLayout();
    static constexpr int kDotsPerInch = kPdfDotsPerInch;

private:
    QString path_;
    QPageLayout layout_;
};

// Test backend: keeps each page's drawing on a page of the given layout (by default a printer's
// A4 that prints to its edges), or fails with `failure` when that is set.
class RecordingPrinter final : public PrinterBackend {
public:
    explicit RecordingPrinter(const QPageLayout &layout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                                      QMarginsF()),
                              qreal dotsPerInch = 600);
    bool Print(const PrintJob &job, QString *error) override;
    bool HasDefaultPrinter() override { return !noDefaultPrinter; }

    QString failure;
    bool noDefaultPrinter = false;
    QStringList titles;       // one per job
    QList<QPicture> pages;    // every page of every job
    QList<PrintPage> geometry; // the page each drawing was given

private:
    QPageLayout layout_;
    qreal dpi_;
};

} // namespace quelvane
