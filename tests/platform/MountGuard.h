// Mounts for tests that need a full disk or a read-only folder; unmounted when the guard goes.
#pragma once

#include <QString>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

namespace quelvane::testing {

class MountGuard {
public:
    MountGuard() = default;
    MountGuard(const MountGuard &) = delete;
    MountGuard &operator=(const MountGuard &) = delete;
    ~MountGuard() { Unmount(); }

    // A tmpfs of the given size ("16k") on an existing folder.
    bool Tmpfs(const QString &folder, const char *size)
    {
        const QByteArray options = QByteArray("size=") + size + ",mode=0755";
        return Mount(folder, "tmpfs", "tmpfs", 0, options.constData());
    }

    // The folder mounted read-only onto itself.
    bool ReadOnly(const QString &folder)
    {
        const QByteArray path = QFile::encodeName(folder);
        if (!Mount(folder, path.constData(), nullptr, MS_BIND, nullptr))
            return false;
        if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
            error_ = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        return true;
    }

    void Unmount()
    {
        if (!target_.isEmpty())
            ::umount2(target_.constData(), MNT_DETACH);
        target_.clear();
    }

    // Why mounting is impossible here, when it is.
    static QString Unavailable()
    {
        if (::geteuid() != 0)
            return QStringLiteral("mounting needs root");
        return QString();
    }

    QString error() const { return error_; }

private:
    bool Mount(const QString &folder, const char *source, const char *type, unsigned long flags,
               const char *options)
    {
        const QByteArray target = QFile::encodeName(folder);
        if (::mount(source, target.constData(), type, flags, options) != 0) {
            error_ = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        target_ = target;
        return true;
    }

    QByteArray target_;
    QString error_;
};

} // namespace quelvane::testing
