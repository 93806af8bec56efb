#include "platform/FileDialog.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QWidget>

namespace quelvane {

namespace {

// Icons and type names from the file's name alone. Qt's own provider asks QMimeDatabase,
// which opens and reads every listed file whose name says nothing: reading /proc/kmsg (for
// root) or a device never returns, and the dialog would freeze the program for good.
class NameOnlyIconProvider final : public QFileIconProvider {
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo &info) const override
    {
        if (info.isDir())
            return icon(Folder);
        const QMimeType mime = Mime(info);
        QIcon themed = QIcon::fromTheme(mime.iconName());
        if (themed.isNull())
            themed = QIcon::fromTheme(mime.genericIconName());
        return themed.isNull() ? icon(File) : themed;
    }

    QString type(const QFileInfo &info) const override
    {
        if (!info.isFile())
            return QFileIconProvider::type(info); // folders, drives, links: no contents read
        const QMimeType mime = Mime(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    QMimeType Mime(const QFileInfo &info) const
    {
        return mimes_.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    }

    QMimeDatabase mimes_;
};

class QtFileDialog final : public FileDialogBackend {
public:
    std::optional<QString> Show(QWidget *owner, const FileDialogRequest &request) override
    {
        QFileDialog dialog(owner);
        dialog.setObjectName(QStringLiteral("FileDialog"));
        // Before any folder is listed. One provider for every dialog: the model keeps a pointer.
        static NameOnlyIconProvider icons;
        dialog.setIconProvider(&icons);
        const FileDialogBehaviour behaviour = BehaviourForFlags(request.kind, request.flags);
        dialog.setAcceptMode(request.kind == FileDialogKind::Save ? QFileDialog::AcceptSave
                                                                  : QFileDialog::AcceptOpen);
        // The toolkit's own titles, set outright: a desktop's own dialog shown in its place
        // takes only a title that was set, and would otherwise have none.
        dialog.setWindowTitle(request.kind == FileDialogKind::Save ? QFileDialog::tr("Save As")
                                                                   : QFileDialog::tr("Open"));
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

} // namespace

constinit Seam<FileDialogBackend> FileDialogSeam(MadeOnFirstUse<FileDialogBackend, QtFileDialog>);

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
    const std::optional<QString> chosen = FileDialogSeam.Current().Show(owner_, request);
    if (!chosen)
        return false;
    FileName = *chosen;
    return true;
}

} // namespace quelvane
