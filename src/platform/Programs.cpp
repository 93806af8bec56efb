#include "platform/Programs.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace quelvane {
namespace {

ProgramStarter *g_starter = nullptr;

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
    QString native = path;
    native.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(native);
    if (info.fileName().compare(QLatin1String("MSINFO32.EXE"), Qt::CaseInsensitive) == 0) {
        const QString installed = SystemInfoProgramIn(info.path());
        if (!installed.isEmpty())
            return installed;
    }
    return native;
#endif
}

bool IsOrdinaryFile(const QString &path)
{
    if (NamesNoFile(path))
        return false;
    const QFileInfo info(NativeProgramPath(path));
    return info.isFile() && !info.isHidden();
}

ProgramStarter *SetProgramStarter(ProgramStarter *starter)
{
    ProgramStarter *previous = g_starter;
    g_starter = starter;
    return previous;
}

bool StartProgram(const QString &path)
{
    if (NamesNoFile(path))
        return false;
    static DetachedProgramStarter real;
    return (g_starter ? g_starter : &real)->Start(path);
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
