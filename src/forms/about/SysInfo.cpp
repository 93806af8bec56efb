#include "forms/about/SysInfo.h"

#include <algorithm>
#include <array>

#include "platform/MessageBox.h"
#include "platform/Programs.h"

namespace quelvane {
namespace {

// Read control, query and set value, create and enumerate subkeys, notify, create link.
constexpr quint32 kKeyAccess = 0x2003F;
constexpr quint32 kBufferSize = 1024;

const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kSysInfoValue = QStringLiteral("PATH");
const QString kSysInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kSysInfoLocationValue = QStringLiteral("MSINFO");

void ShowUnavailable()
{
    ShowMessage(SysInfoUnavailableText(), ProgramTitle(), MessageIcon::None);
}

// A 32-bit number as decimal text, the way registry tools show it. Its bytes are read last
// first as two hex digits each; a most significant zero byte may already have been dropped
// with the trailing zero, which leaves the number the same. No bytes give "".
QString NumberValueText(const QByteArray &bytes)
{
    const QByteArray number = bytes.left(4);
    if (number.isEmpty())
        return {};
    QString hex;
    for (qsizetype i = number.size() - 1; i >= 0; --i)
        hex += QStringLiteral("%1").arg(static_cast<uchar>(number.at(i)), 2, 16, QLatin1Char('0'));
    return QString::number(hex.toULongLong(nullptr, 16));
}

} // namespace

bool GetKeyValue(const RegKey &keyRoot, const QString &keyName, const QString &subKeyRef,
                 QString &keyValue)
{
    RegistryBackend &registry = Registry();
    RegKey key = 0;
    if (registry.OpenKey(keyRoot, keyName.toLocal8Bit().constData(), 0, kKeyAccess, &key)
        != kErrorSuccess) {
        keyValue.clear();
        return false;
    }

    std::array<char, kBufferSize> buffer{};
    quint32 size = kBufferSize;
    quint32 type = 0;
    if (registry.QueryValue(key, subKeyRef.toLocal8Bit().constData(), &type, buffer.data(), &size)
        != kErrorSuccess) {
        keyValue.clear();
        registry.CloseKey(key);
        return false;
    }

    // Never trust a reported size beyond the buffer.
    qsizetype length = std::min(size, kBufferSize);
    if (length > 0 && buffer[length - 1] == '\0')
        --length;
    const QByteArray text(buffer.data(), length);

    switch (type) {
    case kRegSz:
        keyValue = QString::fromLocal8Bit(text);
        break;
    case kRegDword:
        keyValue = NumberValueText(text);
        break;
    default:
        break;
    }
    registry.CloseKey(key);
    return true;
}

void StartSysInfo()
{
    QString sysInfoPath;
    if (!GetKeyValue(kHkeyLocalMachine, kSysInfoKey, kSysInfoValue, sysInfoPath)) {
        if (!GetKeyValue(kHkeyLocalMachine, kSysInfoLocationKey, kSysInfoLocationValue,
                         sysInfoPath)) {
            ShowUnavailable();
            return;
        }
        // A folder: the program must be there, as an ordinary file.
        const QString joined = sysInfoPath + QStringLiteral("\\MSINFO32.EXE");
        if (!IsOrdinaryFile(joined)) {
            ShowUnavailable();
            return;
        }
        sysInfoPath = joined;
    }
    if (!StartProgram(sysInfoPath))
        ShowUnavailable();
}

} // namespace quelvane
