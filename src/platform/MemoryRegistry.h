// A registry held in memory: the test backend, and the store behind the desktop backend.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QSet>

#include "platform/Registry.h"

namespace quelvane {

class MemoryRegistry : public RegistryBackend {
public:
    // Key paths and value names are matched without regard to case, as the registry does.
    void AddKey(RegKey root, const QByteArray &path);
    // Creates the key when it is missing; the data is stored exactly as given.
    void SetValue(RegKey root, const QByteArray &path, const QByteArray &name, quint32 type,
                  const QByteArray &data);
    void Clear();

    long OpenKey(RegKey root, const char *subKey, quint32 options, quint32 access,
                 RegKey *result) override;
    long QueryValue(RegKey key, const char *valueName, quint32 *type, char *data,
                    quint32 *size) override;
    long CloseKey(RegKey key) override;

    // Handles opened and not yet closed.
    const QSet<RegKey> &OpenHandles() const { return open_; }
    int opened = 0;
    int closed = 0;

private:
    struct Value {
        quint32 type = 0;
        QByteArray data;
    };
    using Key = QHash<QByteArray, Value>;

    static QByteArray KeyId(RegKey root, const QByteArray &path);

    QMap<QByteArray, Key> keys_;
    QHash<RegKey, QByteArray> handles_;
    QSet<RegKey> open_;
    RegKey nextHandle_ = 0x1000;
};

} // namespace quelvane
