#include "platform/PdfOutput.h"

#include <QIODevice>
#include <QPdfWriter>

namespace quelvane {

bool PrintToPdf(QIODevice &device, const QPageLayout &layout, int dotsPerInch, const PrintJob &job,
                QString *error)
{
    QPdfWriter writer(&device);
    writer.setResolution(dotsPerInch);
    writer.setPageLayout(layout);
    writer.setTitle(job.title);
    return PrintOnDevice(writer, job, error); // ending the painter writes the trailer
}

} // namespace quelvane
