#include "platform/MemoryRegistry.h"

#include <cstring>

namespace quelvane {

QByteArray MemoryRegistry::KeyId(RegKey root, const QByteArray &path)
{
    return QByteArray::number(static_cast<qulonglong>(root), 16) + ':' + path.toLower();
}

void MemoryRegistry::AddKey(RegKey root, const QByteArray &path)
{
    keys_[KeyId(root, path)];
}

void MemoryRegistry::SetValue(RegKey root, const QByteArray &path, const QByteArray &name,
                              quint32 type, const QByteArray &data)
{
    keys_[KeyId(root, path)][name.toLower()] = {type, data};
}

void MemoryRegistry::Clear()
{
    keys_.clear();
}

long MemoryRegistry::OpenKey(RegKey root, const char *subKey, quint32, quint32, RegKey *result)
{
    const QByteArray id = KeyId(root, QByteArray(subKey));
    if (!keys_.contains(id))
        return kErrorFileNotFound;
    const RegKey handle = nextHandle_++;
    handles_.insert(handle, id);
    open_.insert(handle);
    ++opened;
    *result = handle;
    return kErrorSuccess;
}

long MemoryRegistry::QueryValue(RegKey key, const char *valueName, quint32 *type, char *data,
                                quint32 *size)
{
    if (!open_.contains(key))
        return kErrorInvalidHandle;
    const auto keyIt = keys_.constFind(handles_.value(key));
    if (keyIt == keys_.constEnd())
        return kErrorFileNotFound;
    const auto valueIt = keyIt->constFind(QByteArray(valueName).toLower());
    if (valueIt == keyIt->constEnd())
        return kErrorFileNotFound;
    const auto length = static_cast<quint32>(valueIt->data.size());
    if (type)
        *type = valueIt->type;
    if (data && length > *size) {
        *size = length;
        return kErrorMoreData;
    }
    if (data && length > 0)
        std::memcpy(data, valueIt->data.constData(), length);
    *size = length;
    return kErrorSuccess;
}

long MemoryRegistry::CloseKey(RegKey key)
{
    if (!open_.remove(key))
        return kErrorInvalidHandle;
    handles_.remove(key);
    ++closed;
    return kErrorSuccess;
}

} // namespace quelvane
