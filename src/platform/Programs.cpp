#include "platform/Programs.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace quelvane {
namespace {

bool NamesNoFile(const QString &path)
{
    return path.isEmpty() || path.contains(QChar(u'\0'));
}

} // namespace

const QStringList &SystemInfoPrograms()
{
    static const QStringList programs = {
        QStringLiteral("hardinfo2"),
        QStringLiteral("hardinfo"),
        QStringLiteral("kinfocenter"),
    };
    return programs;
}

QString FindSystemInfoProgram()
{
    for (const QString &name : SystemInfoPrograms()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString SystemInfoProgramIn(const QString &folder)
{
    const QDir dir(folder);
    for (const QString &name : SystemInfoPrograms()) {
        const QFileInfo info(dir.filePath(name));
        if (info.isFile() && info.isExecutable())
            return info.filePath();
    }
    return {};
}

QString NativeProgramPath(const QString &path)
{
#ifdef _WIN32
    return path;
#else
    // Only the "\MSINFO32.EXE" that the about box joins to a folder is Windows-style; a
    // backslash anywhere else is part of a real name here (a folder "a\b" is not "a/b").
    static const QString kWindowsName = QStringLiteral("\\MSINFO32.EXE");
    if (!path.endsWith(kWindowsName, Qt::CaseInsensitive))
        return path;
    const QString folder = path.chopped(kWindowsName.size());
    const QString installed = SystemInfoProgramIn(folder.isEmpty() ? QStringLiteral("/") : folder);
    return installed.isEmpty() ? folder + u'/' + path.right(kWindowsName.size() - 1) : installed;
#endif
}

bool IsOrdinaryFile(const QString &path)
{
    if (NamesNoFile(path))
        return false;
    const QFileInfo info(NativeProgramPath(path));
    return info.isFile() && !info.isHidden();
}

constinit Seam<ProgramStarter> ProgramStarterSeam(MadeOnFirstUse<ProgramStarter, DetachedProgramStarter>);

bool StartProgram(const QString &path)
{
    if (NamesNoFile(path))
        return false;
    return ProgramStarterSeam.Current().Start(path);
}

bool DetachedProgramStarter::Start(const QString &path)
{
    if (NamesNoFile(path))
        return false;
    // Program and argument list, never a command line: nothing in the path is interpreted.
    // Its window opens normally; giving it the focus is the window manager's part.
    return QProcess::startDetached(NativeProgramPath(path), {});
}

} // namespace quelvane
