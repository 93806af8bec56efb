#include "forms/ProgramIcon.h"

namespace quelvane {

QPixmap ProgramIcon()
{
    static const QPixmap icon(QStringLiteral(":/quelvane/icon.xpm"));
    return icon;
}

} // namespace quelvane
