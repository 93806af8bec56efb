#include "app/SessionService.h"

#include <QApplication>
#include <QDialog>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

#include "model/SetError.h"

namespace quelvane {
namespace {

// Long enough for a busy program to answer; the running one answers at once, before it loads.
constexpr int kCallTimeoutMs = 10000;

QString Interface() { return QStringLiteral("org.freedesktop.Application"); }

xcb_atom_t Atom(xcb_connection_t *connection, const char *name)
{
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// A window manager that follows the freedesktop hints names its check window on the root.
bool WindowManagerRuns(xcb_connection_t *connection, xcb_window_t root)
{
    const auto cookie = xcb_get_property(connection, 0, root, Atom(connection, "_NET_SUPPORTING_WM_CHECK"),
                                         XCB_ATOM_WINDOW, 0, 1);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    const bool runs = reply && xcb_get_property_value_length(reply) >= 4;
    std::free(reply);
    return runs;
}

} // namespace

ApplicationService::ApplicationService(Handler handler, QObject *parent)
    : QObject(parent), handler_(std::move(handler))
{
}

void ApplicationService::Activate(const QVariantMap &platform_data)
{
    Deliver(QByteArray(), platform_data);
}

void ApplicationService::Open(const QStringList &uris, const QVariantMap &platform_data)
{
    // The program holds one character, so one file: more would load and replace each other.
    if (uris.size() != 1) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("one file at a time"));
        return;
    }
    const QUrl url(uris.first());
    if (!url.isLocalFile()) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("%1 is not a local file").arg(uris.first()));
        return;
    }
    // The path's bytes as the URI spells them: a name that is not UTF-8 survives the trip.
    Deliver(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()), platform_data);
}

void ApplicationService::ActivateAction(const QString &action_name, const QVariantList &, const QVariantMap &)
{
    sendErrorReply(QDBusError::NotSupported, QStringLiteral("no action %1").arg(action_name));
}

void ApplicationService::Deliver(const QByteArray &file, const QVariantMap &platformData)
{
    QTimer::singleShot(0, this, [this, file, platformData] { handler_(file, platformData); });
}

namespace {

// Qt asks for the focus with the time of the last event it saw, which is older than any focus
// change since, so the X server or the window manager ignores it for a program that was not
// used just now. The user has just asked for this window by starting the program again: ask
// as a taskbar does, which the window manager follows, or set the focus where none runs.
void ActivateOnX11(QWidget &window)
{
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window.windowHandle())
        return;
    xcb_connection_t *connection = x11->connection();
    const auto id = xcb_window_t(window.windowHandle()->winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    if (WindowManagerRuns(connection, root)) {
        xcb_client_message_event_t event {};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = id;
        event.type = Atom(connection, "_NET_ACTIVE_WINDOW");
        event.data.data32[0] = 2; // from a pager or taskbar: the user's own request
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char *>(&event));
    } else {
        xcb_set_input_focus(connection, XCB_INPUT_FOCUS_PARENT, id, XCB_CURRENT_TIME);
    }
    xcb_flush(connection);
}

} // namespace

QVariantMap StartPlatformData()
{
    QVariantMap data;
    const QString startup = qEnvironmentVariable("DESKTOP_STARTUP_ID");
    if (!startup.isEmpty())
        data.insert(QStringLiteral("desktop-startup-id"), startup);
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    if (!token.isEmpty())
        data.insert(QStringLiteral("activation-token"), token);
    return data;
}

void RaiseMainWindow(QWidget &main, const QVariantMap &platformData)
{
    // Lets a Wayland compositor pass the focus on to a program that was not started just now.
    const QString token = platformData.value(QStringLiteral("activation-token")).toString();
    if (!token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    main.setWindowState(main.windowState() & ~Qt::WindowMinimized);
    main.show();
    QWidget *front = QApplication::activeModalWidget();
    if (!front)
        front = &main;
    front->raise();
    front->activateWindow();
    ActivateOnX11(*front);
}

void WhenNoDialogIsOpen(const std::function<void()> &then)
{
    auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    if (!dialog) {
        then();
        return;
    }
    QObject::connect(
        dialog, &QDialog::finished, qApp,
        // Once the dialog's own event loop and the command that opened it have run on.
        [then] { QTimer::singleShot(0, qApp, [then] { WhenNoDialogIsOpen(then); }); },
        Qt::SingleShotConnection);
}

SessionRole ClaimSession(QDBusConnection bus, ApplicationService &service, const QByteArray &file,
                         QString *error)
{
    if (!bus.isConnected())
        return SessionRole::Alone;
    const QString name = QString::fromLatin1(kDesktopId);
    const QString path = QString::fromLatin1(kDesktopObjectPath);
    // The object first: a call may come the moment the name is ours.
    if (!bus.registerObject(path, &service, QDBusConnection::ExportScriptableSlots)) {
        SetError(error, QStringLiteral("cannot serve %1 on the session bus; running on its own").arg(path));
        return SessionRole::Alone;
    }
    // Twice at most: the program that owned the name may end between our two calls.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto claimed = bus.interface()->registerService(name, QDBusConnectionInterface::DontQueueService,
                                                              QDBusConnectionInterface::DontAllowReplacement);
        if (!claimed.isValid()) {
            bus.unregisterObject(path);
            SetError(error, QStringLiteral("the session bus refused %1 (%2); running on its own")
                                .arg(name, claimed.error().message()));
            return SessionRole::Alone;
        }
        if (claimed.value() == QDBusConnectionInterface::ServiceRegistered)
            return SessionRole::First;

        QDBusMessage call;
        if (file.isEmpty()) {
            call = QDBusMessage::createMethodCall(name, path, Interface(), QStringLiteral("Activate"));
            call << StartPlatformData();
        } else {
            call = QDBusMessage::createMethodCall(name, path, Interface(), QStringLiteral("Open"));
            QByteArray absolute = file;
            if (!absolute.startsWith('/'))
                absolute.prepend(QFile::encodeName(QDir::currentPath()) + '/');
            const QString uri = QString::fromLatin1("file://" + absolute.toPercentEncoding("/"));
            call << QStringList{uri} << StartPlatformData();
        }
        const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage)
            return SessionRole::HandedOver;
        if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
            || reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
            continue;
        bus.unregisterObject(path);
        SetError(error, QStringLiteral("the running Quelvane Cadrelant Generator did not answer: %1")
                            .arg(reply.errorMessage()));
        return SessionRole::Failed;
    }
    bus.unregisterObject(path);
    SetError(error, QStringLiteral("the running Quelvane Cadrelant Generator ended while this one started"));
    return SessionRole::Failed;
}

} // namespace quelvane
