// One program per user session: the first start owns the desktop id on the session bus and
// answers org.freedesktop.Application there; a later start hands its file to it and ends.
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>

class QWidget;

namespace quelvane {

inline constexpr const char *kDesktopId = "org.quelvane.CadrelantGenerator";
// The desktop id as an object path, as D-Bus activation calls it.
inline constexpr const char *kDesktopObjectPath = "/org/quelvane/CadrelantGenerator";

// What the bus asks of the running program: each request arrives once, after the call has
// been answered, so that a message box it shows never keeps the caller waiting.
class ApplicationService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    // `file`: a local file to load, in the file system's own bytes (which need not be UTF-8);
    // empty for a start without one. `platformData` carries the caller's activation token.
    using Handler = std::function<void(const QByteArray &file, const QVariantMap &platformData)>;
    explicit ApplicationService(Handler handler, QObject *parent = nullptr);

public slots:
    Q_SCRIPTABLE void Activate(const QVariantMap &platform_data);
    Q_SCRIPTABLE void Open(const QStringList &uris, const QVariantMap &platform_data);
    Q_SCRIPTABLE void ActivateAction(const QString &action_name, const QVariantList &parameter,
                                     const QVariantMap &platform_data);

private:
    void Deliver(const QByteArray &file, const QVariantMap &platformData);
    Handler handler_;
};

enum class SessionRole {
    Alone,      // no session bus, or it would not give us the name: a program of our own
    First,      // this start owns the name and serves `service`
    HandedOver, // another program took the file (or the wish to be shown); this one ends
    Failed,     // the running program did not answer; `error` says why
};

// Claims the desktop id on `bus` for `service`, or hands `file` (empty: none) to the program
// that owns it. `error` gets one line for standard error for Failed, and for Alone when a bus
// was there but refused the name.
SessionRole ClaimSession(QDBusConnection bus, ApplicationService &service, const QByteArray &file,
                         QString *error);

// The activation tokens of this start's environment, as platform data for the running program.
QVariantMap StartPlatformData();

// Brings `main` back from minimised, to the front and into focus, or the dialog that holds the
// program modal at the moment, which the user must answer first.
void RaiseMainWindow(QWidget &main, const QVariantMap &platformData);

// Runs `then` now, or once the dialog that holds the program modal has been answered: a file
// handed over while the user is in a dialog waits, as a click on Load would have to.
void WhenNoDialogIsOpen(const std::function<void()> &then);

} // namespace quelvane
