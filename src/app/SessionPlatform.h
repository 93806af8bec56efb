// Which Qt platform to ask for before the QApplication exists.
#pragma once

#include <QByteArray>
#include <optional>

namespace quelvane {

// The desktop session as the environment tells it.
struct SessionEnvironment {
    QByteArray qtQpaPlatform;   // QT_QPA_PLATFORM
    QByteArray waylandDisplay;  // WAYLAND_DISPLAY
    QByteArray xdgSessionType;  // XDG_SESSION_TYPE
};

// In a Wayland session that the user has not told Qt about, "xcb;wayland": XWayland where the
// session has an X server, where windows keep their designed places and stacking, and native
// Wayland where it has none. Otherwise nothing: the user's own choice, or Qt's, stands.
std::optional<QByteArray> PreferredPlatform(const SessionEnvironment &session);

// Reads the environment and sets QT_QPA_PLATFORM when PreferredPlatform says so; true when it
// did. Call before the QApplication is created, and unset it again once that exists.
bool PreferXWaylandInWaylandSession();

} // namespace quelvane
