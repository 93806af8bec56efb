#include "app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>

#include "version.h"

namespace quelvane {

StartOptions ParseStartOptions(const QStringList &arguments)
{
    // The parser's own help and version options need a QCoreApplication; these do not.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version(QStringLiteral("version"), QString());
    QCommandLineParser parser;
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FILE"), QString());

    StartOptions options;
    const auto bad = [&options](const QString &why) {
        options.action = StartOptions::Action::BadUsage;
        options.error = why + QStringLiteral(" (see --help)");
        return options;
    };
    if (!parser.parse(arguments))
        return bad(parser.errorText().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    if (parser.isSet(help)) {
        options.action = StartOptions::Action::Help;
        return options;
    }
    if (parser.isSet(version)) {
        options.action = StartOptions::Action::Version;
        return options;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return bad(QStringLiteral("only one FILE can be loaded, got %1").arg(files.size()));
    if (!files.isEmpty()) {
        options.file = files.first();
        options.nativeFile = QFile::encodeName(options.file);
    }
    return options;
}

StartOptions ParseStartOptions(const QList<QByteArray> &arguments)
{
    // Decoded, a name that is not UTF-8 loses its odd bytes; Latin-1 keeps every byte. The
    // options are ASCII, so both parse alike: the decoded one gives the texts, the other the
    // file's exact bytes.
    QStringList shown, exact;
    for (const QByteArray &argument : arguments) {
        shown.append(QFile::decodeName(argument));
        exact.append(QString::fromLatin1(argument));
    }
    StartOptions options = ParseStartOptions(shown);
    if (!options.file.isEmpty())
        options.nativeFile = ParseStartOptions(exact).file.toLatin1();
    return options;
}

QString StartHelpText()
{
    return QStringLiteral(
        "Usage: quelvane [OPTION]... [FILE]\n"
        "Roll up Quelvane Cadrelants, view, save, load and print them in a window.\n"
        "FILE, a character file (.tbl), is loaded at start as Load Cadrelant would.\n"
        "When the program already runs in this session, FILE goes to it instead.\n"
        "\n"
        "  -h, --help      show this help and exit\n"
        "      --version   show the version and exit\n"
        "\n"
        "Exit status: 0 normally, 1 when the running program did not answer,\n"
        "2 for a bad option or more than one FILE.\n");
}

QString StartVersionText()
{
    return QStringLiteral("quelvane " QUELVANE_VERSION_STRING "\n");
}

} // namespace quelvane
