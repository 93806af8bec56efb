#include "platform/FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

namespace quelvane {

namespace {

class QtFileDialog final : public FileDialogBackend {
public:
    std::optional<QString> Show(QWidget *owner, const FileDialogRequest &request) override
    {
        QFileDialog dialog(owner);
        dialog.setObjectName(QStringLiteral("FileDialog"));
        const FileDialogBehaviour behaviour = BehaviourForFlags(request.kind, request.flags);
        dialog.setAcceptMode(request.kind == FileDialogKind::Save ? QFileDialog::AcceptSave
                                                                  : QFileDialog::AcceptOpen);
        dialog.setFileMode(behaviour.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !behaviour.confirmOverwrite);
        // Without a default suffix, a name typed without an extension is used as typed.
        dialog.setDefaultSuffix(request.defaultSuffix);
        if (!request.filters.isEmpty()) {
            dialog.setNameFilters(request.filters);
            if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
                dialog.selectNameFilter(request.filters.at(request.filterIndex));
        }
        if (!request.startName.isEmpty()) {
            const QFileInfo start(request.startName);
            if (start.isAbsolute())
                dialog.setDirectory(start.absolutePath());
            dialog.selectFile(start.fileName());
        }
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty() || chosen.first().isEmpty())
            return std::nullopt;
        return chosen.first();
    }
};

FileDialogBackend *g_backend = nullptr;

FileDialogBackend &Backend()
{
    static QtFileDialog real;
    return g_backend ? *g_backend : real;
}

} // namespace

FileDialogBackend *SetFileDialogBackend(FileDialogBackend *backend)
{
    FileDialogBackend *previous = g_backend;
    g_backend = backend;
    return previous;
}

QStringList ToolkitFilters(const QString &pairs)
{
    QStringList filters;
    const QStringList parts = pairs.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            pattern = pattern.trimmed();
        const QString joined = patterns.join(QLatin1Char(' '));
        // The toolkit reads the patterns from the last "(...)" of the entry.
        if (description.endsWith(QLatin1Char(')'))
            && description.section(QLatin1Char('('), -1).chopped(1).trimmed() == joined)
            filters.append(description);
        else
            filters.append(description + QStringLiteral(" (") + joined + QLatin1Char(')'));
    }
    return filters;
}

FileDialogBehaviour BehaviourForFlags(FileDialogKind kind, int flags)
{
    FileDialogBehaviour behaviour;
    behaviour.confirmOverwrite = kind == FileDialogKind::Save && (flags & kOverwritePrompt);
    behaviour.mustExist = kind == FileDialogKind::Open && (flags & kFileMustExist);
    return behaviour;
}

CommonDialog::CommonDialog(QWidget *owner) : QObject(owner), owner_(owner) {}

bool CommonDialog::ShowOpen()
{
    return Show(FileDialogKind::Open);
}

bool CommonDialog::ShowSave()
{
    return Show(FileDialogKind::Save);
}

bool CommonDialog::Show(FileDialogKind kind)
{
    FileDialogRequest request;
    request.kind = kind;
    request.filters = ToolkitFilters(Filter);
    request.filterIndex = FilterIndex - 1;
    request.flags = Flags;
    request.startName = FileName;
    request.defaultSuffix = DefaultExt;
    const std::optional<QString> chosen = Backend().Show(owner_, request);
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

} // namespace quelvane
