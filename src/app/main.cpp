#include <QApplication>
#include <QDBusConnection>
#include <QFile>
#include <QTimer>
#include <cstdio>

#include "app/CommandLine.h"
#include "app/SessionPlatform.h"
#include "app/SessionService.h"
#include "forms/Forms.h"
#include "forms/main/MainWindow.h"
#include "gui/Utf8Locale.h"

int main(int argc, char *argv[])
{
    // Read before QApplication: --help and --version must work without a display.
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    const quelvane::StartOptions options = quelvane::ParseStartOptions(arguments);
    switch (options.action) {
    case quelvane::StartOptions::Action::Help:
        std::fputs(quelvane::StartHelpText().toLocal8Bit().constData(), stdout);
        return 0;
    case quelvane::StartOptions::Action::Version:
        std::fputs(quelvane::StartVersionText().toLocal8Bit().constData(), stdout);
        return 0;
    case quelvane::StartOptions::Action::BadUsage:
        std::fprintf(stderr, "quelvane: %s\n", options.error.toLocal8Bit().constData());
        return quelvane::kBadUsageStatus;
    case quelvane::StartOptions::Action::Run:
        break;
    }

    const bool platformChosen = quelvane::PreferXWaylandInWaylandSession();
    // Qt would take options of its own (-stylesheet, -reverse, ...) from the user's arguments;
    // it gets the program's name alone. Both outlive the application, as Qt requires.
    int qtArgc = 1;
    char *qtArgv[] = {argv[0], nullptr};
    quelvane::Utf8CharacterType utf8;
    QApplication app(qtArgc, qtArgv);
    utf8.Restore();
    // Qt has read it; programs started from here on (System Info) see the session's own.
    if (platformChosen)
        qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("quelvane"));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quelvane.CadrelantGenerator"));

    int status = 0;
    {
        quelvane::MainWindow main;
        // Another start of the program, through the session bus: its file is loaded as the
        // command line's is, and Main comes to the front either way.
        quelvane::ApplicationService service([&main](const QByteArray &file, const QVariantMap &platformData) {
            quelvane::RaiseMainWindow(main, platformData);
            if (!file.isEmpty())
                quelvane::WhenNoDialogIsOpen([&main, file] { main.LoadAtStart(file); });
        });
        QString problem;
        switch (quelvane::ClaimSession(QDBusConnection::sessionBus(), service, options.nativeFile, &problem)) {
        case quelvane::SessionRole::HandedOver:
            return 0;
        case quelvane::SessionRole::Failed:
            std::fprintf(stderr, "quelvane: %s\n", problem.toLocal8Bit().constData());
            return 1;
        case quelvane::SessionRole::Alone:
            if (!problem.isEmpty())
                std::fprintf(stderr, "quelvane: %s\n", problem.toLocal8Bit().constData());
            break;
        case quelvane::SessionRole::First:
            break;
        }
        quelvane::SetMainForm(&main);
        main.show();
        // Once the window is up, so an empty-file message has something to stand over.
        if (!options.file.isEmpty())
            QTimer::singleShot(0, &main, [&main, &options] { main.LoadAtStart(options.nativeFile); });
        status = QApplication::exec();
        quelvane::UnloadAllForms();
        quelvane::SetMainForm(nullptr);
    }
    return status;
}
