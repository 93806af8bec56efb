// Mounts for tests that need a full disk or a read-only folder; unmounted when the guard goes.
// Tests that need them live in programs of their own (RootTestMain.h), which ctest
// reports as skipped, with the reason, where they cannot run.
#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

    // Why this process cannot mount a tmpfs or make a device node, when it cannot. Tried for
    // real: root in a container may lack the rights all the same.
    static QString Unavailable()
    {
        if (::geteuid() != 0)
            return QStringLiteral("needs root to mount file systems and make device nodes");
        QTemporaryDir dir;
        if (!dir.isValid())
            return QStringLiteral("no temporary folder: ") + dir.errorString();
        {
            MountGuard probe;
            if (!probe.Tmpfs(dir.path(), "16k"))
                return QStringLiteral("root, but cannot mount a tmpfs here: ") + probe.error();
        }
        const QByteArray node = QFile::encodeName(dir.filePath(QStringLiteral("null")));
        if (::mknod(node.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            return QStringLiteral("root, but cannot make a device node here: ")
                   + QString::fromLocal8Bit(std::strerror(errno));
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
