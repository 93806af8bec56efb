#include "forms/ProgramIcon.h"

namespace quelvane {

QPixmap ProgramIcon()
{
    static const QPixmap icon(QStringLiteral(":/quelvane/icon.xpm"));
    return icon;
}

QIcon ProgramWindowIcon()
{
    QIcon icon(ProgramIcon());
    for (int size : {128, 256})
        icon.addFile(QStringLiteral(":/quelvane/desktop/icons/org.quelvane.CadrelantGenerator-%1.png").arg(size));
    return icon;
}

} // namespace quelvane
