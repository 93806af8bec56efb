#include "platform/CupsJob.h"

#include <QPageSize>
#include <QSizeF>

#include <cstring>
#include <dlfcn.h>

#include <cups/cups.h>

#include "model/SetError.h"

namespace quelvane {
namespace {

// libcups is opened on the first print, not at start: with the TLS and Kerberos libraries it
// brings, linking it would cost every start milliseconds and megabytes that only printing needs.
// Every call of it in this file goes through this table.
#define QUELVANE_CUPS_CALLS(X) \
    X(cupsCancelJob2) X(cupsCopyDestInfo) X(cupsCreateJob) X(cupsDoRequest) X(cupsEncryption) \
    X(cupsFindDestDefault) X(cupsFreeDestInfo) X(cupsFreeDests) X(cupsGetDestMediaByName) \
    X(cupsGetNamedDest) X(cupsGetResponse) X(cupsLastError) X(cupsLastErrorString) X(cupsServer) \
    X(cupsStartDocument) X(cupsUser) X(cupsWriteRequestData) X(httpAssembleURIf) X(httpClose) \
    X(httpConnect2) X(httpError) X(httpSetTimeout) X(ippAddString) X(ippAddStrings) X(ippDelete) \
    X(ippErrorString) X(ippFindAttribute) X(ippGetInteger) X(ippGetResolution) \
    X(ippGetStatusCode) X(ippGetString) X(ippNewRequest) X(ippPort)

struct CupsCalls {
#define QUELVANE_CUPS_POINTER(name) decltype(&::name) name = nullptr;
    QUELVANE_CUPS_CALLS(QUELVANE_CUPS_POINTER)
#undef QUELVANE_CUPS_POINTER
};

// Set by LoadCups; the calls below run only after it succeeded.
const CupsCalls *cups = nullptr;

// False with `why` set when the library cannot be loaded (a broken install: the package
// depends on it). Loaded once, never unloaded.
bool LoadCups(QString *why = nullptr)
{
    static QString failure;
    static const CupsCalls *const loaded = [] () -> const CupsCalls * {
        void *library = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            failure = QString::fromLocal8Bit(::dlerror());
            return nullptr;
        }
        static CupsCalls calls;
#define QUELVANE_CUPS_RESOLVE(name)                                                           \
        calls.name = reinterpret_cast<decltype(calls.name)>(::dlsym(library, #name));         \
        if (!calls.name) {                                                                     \
            failure = QStringLiteral("libcups.so.2 has no %1").arg(QLatin1String(#name));    \
            return nullptr;                                                                   \
        }
        QUELVANE_CUPS_CALLS(QUELVANE_CUPS_RESOLVE)
#undef QUELVANE_CUPS_RESOLVE
        cups = &calls;
        return &calls;
    }();
    if (!loaded && why)
        *why = QStringLiteral("the print system's library cannot be loaded (%1)").arg(failure);
    return loaded != nullptr;
}

// The scheduler's own message, or the name of its status when it gave none.
QString SchedulerWords(const char *message, ipp_status_t status)
{
    return QString::fromUtf8(message && *message ? message : cups->ippErrorString(status));
}

// One connection to the scheduler, each of whose waits ends after kPrintSystemWaitSeconds.
class Connection {
public:
    Connection()
    {
        http_ = cups->httpConnect2(cups->cupsServer(), cups->ippPort(), nullptr, AF_UNSPEC, cups->cupsEncryption(), 1,
                             kPrintSystemWaitSeconds * 1000, nullptr);
        if (http_)
            cups->httpSetTimeout(http_, kPrintSystemWaitSeconds, &Connection::TimedOut, this);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;
    ~Connection()
    {
        if (http_)
            cups->httpClose(http_);
    }

    http_t *get() const { return http_; }

    // Why the last step failed: the scheduler's silence, the connection's error, or the
    // scheduler's own words; never its "successful-ok".
    QString Reason() const
    {
        if (!http_)
            return QStringLiteral("the print system cannot be reached (%1)").arg(QString::fromLocal8Bit(cups->cupsServer()));
        if (timedOut_)
            return QStringLiteral("the print system did not answer within %1 seconds").arg(kPrintSystemWaitSeconds);
        if (const int error = cups->httpError(http_))
            return QString::fromLocal8Bit(std::strerror(error));
        if (cups->cupsLastError() > IPP_STATUS_OK_CONFLICTING)
            return SchedulerWords(cups->cupsLastErrorString(), cups->cupsLastError());
        return QStringLiteral("the connection to the print system ended early");
    }

private:
    static int TimedOut(http_t *, void *self)
    {
        static_cast<Connection *>(self)->timedOut_ = true;
        return 0; // give up
    }

    http_t *http_ = nullptr;
    bool timedOut_ = false;
};

// The scheduler's own answer, or the reason there is none.
bool Answered(ipp_t *response, const Connection &connection, QString &reason)
{
    if (!response) {
        reason = connection.Reason();
        return false;
    }
    const ipp_status_t status = cups->ippGetStatusCode(response);
    if (status <= IPP_STATUS_OK_CONFLICTING)
        return true;
    reason = SchedulerWords(cups->ippGetString(cups->ippFindAttribute(response, "status-message", IPP_TAG_TEXT), 0, nullptr),
                            status);
    return false;
}

// Whether the scheduler lists the job as waiting, printing or done, with its document.
bool JobHasItsDocument(const Connection &connection, int job, QString &reason)
{
    ipp_t *request = cups->ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    cups->httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", cups->ippPort(), "/jobs/%d", job);
    cups->ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    cups->ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cups->cupsUser());
    static const char *const wanted[] = {"job-state", "number-of-documents"};
    cups->ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
    ipp_t *response = cups->cupsDoRequest(connection.get(), request, "/");
    const bool answered = Answered(response, connection, reason);
    bool whole = false;
    if (answered) {
        const int state = cups->ippGetInteger(cups->ippFindAttribute(response, "job-state", IPP_TAG_ENUM), 0);
        ipp_attribute_t *documents = cups->ippFindAttribute(response, "number-of-documents", IPP_TAG_INTEGER);
        whole = (state == IPP_JSTATE_PENDING || state == IPP_JSTATE_PROCESSING || state == IPP_JSTATE_COMPLETED)
                && (!documents || cups->ippGetInteger(documents, 0) >= 1);
        if (!whole)
            reason = QStringLiteral("the print system did not keep the document");
    }
    cups->ippDelete(response);
    return whole;
}

QPageLayout LayoutOf(const cups_size_t &size)
{
    // CUPS measures in hundredths of a millimetre.
    const QPageSize paper(QSizeF(size.width / 100.0, size.length / 100.0), QPageSize::Millimeter);
    return QPageLayout(paper, QPageLayout::Portrait,
                       QMarginsF(size.left / 100.0, size.top / 100.0, size.right / 100.0, size.bottom / 100.0),
                       QPageLayout::Millimeter);
}

} // namespace

QString JobNotTakenText(const QString &destination, const QString &reason)
{
    return QStringLiteral("The printer \"%1\" did not take the job: %2").arg(destination, reason);
}

std::optional<DefaultPrinter> FindDefaultPrinter()
{
    if (!LoadCups())
        return std::nullopt;
    Connection connection;
    if (!connection.get())
        return std::nullopt;
    cups_dest_t *dest = cups->cupsGetNamedDest(connection.get(), nullptr, nullptr);
    if (!dest)
        return std::nullopt;
    DefaultPrinter found;
    found.name = QString::fromUtf8(dest->name);
    found.layout = QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    if (cups_dinfo_t *info = cups->cupsCopyDestInfo(connection.get(), dest)) {
        // The destination's own default paper; cupsGetDestMediaDefault would take US Letter
        // for any destination whose options do not name one.
        cups_size_t size {};
        const char *media = cups->ippGetString(cups->cupsFindDestDefault(connection.get(), dest, info, "media"), 0, nullptr);
        if (media && cups->cupsGetDestMediaByName(connection.get(), dest, info, media, CUPS_MEDIA_FLAGS_DEFAULT, &size)
            && size.width > 0 && size.length > 0)
            found.layout = LayoutOf(size);
        ipp_res_t units = IPP_RES_PER_INCH;
        int down = 0;
        const int across = cups->ippGetResolution(cups->cupsFindDestDefault(connection.get(), dest, info, "printer-resolution"),
                                            0, &down, &units);
        if (across > 0)
            found.dotsPerInch = units == IPP_RES_PER_CM ? qRound(across * 2.54) : across;
        cups->cupsFreeDestInfo(info);
    }
    cups->cupsFreeDests(1, dest);
    return found;
}

bool SubmitPdf(const QString &destination, const QByteArray &pdf, const QString &title, QString *error)
{
    QString reason;
    auto refused = [&] { return SetError(error, JobNotTakenText(destination, reason)); };
    if (!LoadCups(&reason))
        return refused();
    const QByteArray name = destination.toUtf8();
    const QByteArray titleBytes = title.toUtf8();
    Connection connection;
    cups_dest_t *dest = connection.get() ? cups->cupsGetNamedDest(connection.get(), name.constData(), nullptr) : nullptr;
    if (!dest) {
        reason = connection.Reason();
        return refused();
    }
    // Its default options, the paper included; none of them is set here.
    const int job = cups->cupsCreateJob(connection.get(), name.constData(), titleBytes.constData(),
                                  dest->num_options, dest->options);
    cups->cupsFreeDests(1, dest);
    if (job <= 0) {
        reason = connection.Reason();
        return refused();
    }
    bool sent = cups->cupsStartDocument(connection.get(), name.constData(), job, titleBytes.constData(),
                                  CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    constexpr qsizetype kChunk = 64 * 1024;
    for (qsizetype at = 0; sent && at < pdf.size(); at += kChunk) {
        sent = cups->cupsWriteRequestData(connection.get(), pdf.constData() + at,
                                    size_t(qMin(kChunk, pdf.size() - at))) == HTTP_STATUS_CONTINUE;
    }
    if (!sent) {
        reason = connection.Reason();
    } else {
        // The answer to the document itself, read here rather than through cupsLastError(),
        // which a broken connection may leave at an earlier success.
        ipp_t *response = cups->cupsGetResponse(connection.get(), ("/printers/" + name).constData());
        sent = Answered(response, connection, reason);
        cups->ippDelete(response);
        if (sent)
            sent = JobHasItsDocument(connection, job, reason);
    }
    if (!sent) {
        // A job without its whole document must not stay in the queue; the first connection
        // may be the broken part, so a new one asks.
        Connection cancel;
        if (cancel.get())
            cups->cupsCancelJob2(cancel.get(), name.constData(), job, 0);
        return refused();
    }
    return true;
}

} // namespace quelvane
