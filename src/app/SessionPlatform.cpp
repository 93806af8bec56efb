#include "app/SessionPlatform.h"

#include <QtGlobal>

namespace quelvane {

std::optional<QByteArray> PreferredPlatform(const SessionEnvironment &session)
{
    // Qt ignores an empty QT_QPA_PLATFORM too, so it is no choice of the user's.
    if (!session.qtQpaPlatform.isEmpty())
        return std::nullopt;
    if (session.waylandDisplay.isEmpty() && session.xdgSessionType != "wayland")
        return std::nullopt;
    return QByteArrayLiteral("xcb;wayland");
}

bool PreferXWaylandInWaylandSession()
{
    const SessionEnvironment session{qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"),
                                     qgetenv("XDG_SESSION_TYPE")};
    const std::optional<QByteArray> platform = PreferredPlatform(session);
    return platform && qputenv("QT_QPA_PLATFORM", *platform);
}

} // namespace quelvane
