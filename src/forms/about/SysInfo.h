// The about box's system-information button: find the program through the registry and
// start it, or tell the user it cannot be had.
#pragma once

#include <QString>

#include "platform/Registry.h"

namespace quelvane {

// The text of the message shown when the program cannot be found or started.
inline QString SysInfoUnavailableText()
{
    return QStringLiteral("System Information Is Unavailable At This Time");
}

// Starts the system-information program, or shows the "unavailable" message.
void StartSysInfo();

// Reads a registry value. A string becomes `keyValue`; a 32-bit number becomes its decimal
// text; a value of any other type leaves `keyValue` as it was but still counts as read.
// When the key or value cannot be read, `keyValue` becomes "" and the answer is false.
bool GetKeyValue(const RegKey &keyRoot, const QString &keyName, const QString &subKeyRef,
                 QString &keyValue);

} // namespace quelvane
