// One print job through CUPS's own interface, so that the scheduler's answer reaches the
// program: Qt's printer reports success even when the scheduler refused the job.
#pragma once

#include <QByteArray>
#include <QString>

namespace quelvane {

// Sends `pdf` as a one-document job named `title` to the print system's default destination,
// with that destination's default options (its paper among them). True once the scheduler
// has accepted the whole document; otherwise false with the scheduler's reason, naming the
// destination.
bool SubmitPdfToDefaultDestination(const QByteArray &pdf, const QString &title, QString *error);

} // namespace quelvane
