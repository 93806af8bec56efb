#include "platform/SystemInfoRegistry.h"

#include <QFile>
#include <QFileInfo>

#include "platform/Programs.h"

namespace quelvane {
namespace {

const QByteArray kInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

QByteArray StringData(const QString &text)
{
    return QFile::encodeName(text) + '\0';
}

} // namespace

void SystemInfoRegistry::Refresh()
{
    store_.Clear();
    store_.AddKey(kHkeyLocalMachine, kInfoKey);
    store_.AddKey(kHkeyLocalMachine, kLocationKey);
    const QString program = FindSystemInfoProgram();
    if (program.isEmpty())
        return;
    store_.SetValue(kHkeyLocalMachine, kInfoKey, "PATH", kRegSz, StringData(program));
    store_.SetValue(kHkeyLocalMachine, kLocationKey, "MSINFO", kRegSz,
                    StringData(QFileInfo(program).path()));
}

long SystemInfoRegistry::OpenKey(RegKey root, const char *subKey, quint32 options,
                                 quint32 access, RegKey *result)
{
    Refresh();
    return store_.OpenKey(root, subKey, options, access, result);
}

long SystemInfoRegistry::QueryValue(RegKey key, const char *valueName, quint32 *type,
                                    char *data, quint32 *size)
{
    return store_.QueryValue(key, valueName, type, data, size);
}

long SystemInfoRegistry::CloseKey(RegKey key)
{
    return store_.CloseKey(key);
}

} // namespace quelvane
