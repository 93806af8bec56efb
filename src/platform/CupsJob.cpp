#include "platform/CupsJob.h"

#include <cups/cups.h>

namespace quelvane {
namespace {

// cupsLastErrorString() in the scheduler's words, or the status when it gave none.
QString LastCupsError()
{
    const char *text = cupsLastErrorString();
    if (text && *text)
        return QString::fromUtf8(text);
    return QString::fromUtf8(ippErrorString(cupsLastError()));
}

bool Failed(ipp_status_t status)
{
    return status > IPP_STATUS_OK_CONFLICTING;
}

} // namespace

bool SubmitPdfToDefaultDestination(const QByteArray &pdf, const QString &title, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    // The default of the user's lpoptions, PRINTER / LPDEST or the scheduler, as lp takes it.
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest)
        return fail(QStringLiteral("No default printer is set up on this computer."));
    const QString name = QString::fromUtf8(dest->name);
    const QByteArray titleBytes = title.toUtf8();
    const auto refused = [&](const QString &reason) {
        return fail(QStringLiteral("The printer \"%1\" did not take the job: %2").arg(name, reason));
    };

    // Its default options, the paper included; none of them is set here.
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, dest->name, titleBytes.constData(),
                                  dest->num_options, dest->options);
    if (job <= 0) {
        const QString reason = LastCupsError();
        cupsFreeDests(1, dest);
        return refused(reason);
    }
    QString reason;
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, dest->name, job, titleBytes.constData(),
                          CUPS_FORMAT_PDF, 1) != HTTP_STATUS_CONTINUE) {
        reason = LastCupsError();
    } else {
        constexpr qsizetype kChunk = 64 * 1024;
        for (qsizetype at = 0; reason.isEmpty() && at < pdf.size(); at += kChunk) {
            if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData() + at,
                                     size_t(qMin(kChunk, pdf.size() - at))) != HTTP_STATUS_CONTINUE)
                reason = LastCupsError();
        }
        // Also after a failed write: this reads the scheduler's answer and ends the request.
        if (Failed(cupsFinishDocument(CUPS_HTTP_DEFAULT, dest->name)) && reason.isEmpty())
            reason = LastCupsError();
    }
    if (!reason.isEmpty()) {
        // A job that got no whole document must not stay held in the queue.
        cupsCancelJob2(CUPS_HTTP_DEFAULT, dest->name, job, 0);
        cupsFreeDests(1, dest);
        return refused(reason);
    }
    cupsFreeDests(1, dest);
    return true;
}

} // namespace quelvane
