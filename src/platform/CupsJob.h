// The print system through CUPS's own interface, so that the scheduler's answer reaches the
// program (Qt's printer reports success even when the scheduler refused the job), and over a
// connection of our own whose every wait is bounded: a scheduler that stalls costs seconds,
// not minutes. Plain blocking calls, safe on any one thread at a time.
#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>

#include <optional>

namespace quelvane {

// The longest any one step waits for the scheduler: connecting, each read and each write.
inline constexpr int kPrintSystemWaitSeconds = 5;

struct DefaultPrinter {
    QString name;
    QPageLayout layout; // the destination's default paper and its printable area
    int dotsPerInch = 300;
};

// The default destination (the user's lpoptions, PRINTER / LPDEST, or the scheduler's), with
// its default paper, margins and resolution; nothing when there is none or the scheduler
// cannot be reached in time.
std::optional<DefaultPrinter> FindDefaultPrinter();

// Sends `pdf` as a one-document job named `title` to `destination`, with its default options.
// True only once the scheduler has answered that it took the whole document and lists the job
// with it; otherwise false with the true reason, naming the destination, and a job that did
// not get its document is cancelled.
bool SubmitPdf(const QString &destination, const QByteArray &pdf, const QString &title, QString *error);

// The one text for a job that did not reach `destination`, with the reason why.
QString JobNotTakenText(const QString &destination, const QString &reason);

} // namespace quelvane
