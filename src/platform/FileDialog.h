// The standard open/save file dialog, behind a seam so tests answer it at once and can see
// what it was asked.
#pragma once

#include <optional>

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "model/Seam.h"

class QWidget;

namespace quelvane {

enum class FileDialogKind { Open, Save };

// Dialog flags, by their classic bit values.
enum FileDialogFlag : int {
    kOverwritePrompt = 0x2,
    kHideReadOnly = 0x4,
    kFileMustExist = 0x1000,
};

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QStringList filters; // in the toolkit's form: "Description (*.ext)"
    int filterIndex = 0; // zero-based
    int flags = 0;
    QString startName;   // offered as the file name; may be a full path
    QString defaultSuffix; // added to a name typed without one; empty: used as typed
};

class FileDialogBackend {
public:
    virtual ~FileDialogBackend() = default;
    // Shows the dialog modally; the chosen full path, or nothing when it was cancelled.
    virtual std::optional<QString> Show(QWidget *owner, const FileDialogRequest &request) = 0;
};

// The real dialog unless an Override puts another backend in place.
extern Seam<FileDialogBackend> FileDialogSeam;

// "Description|pattern|Description|pattern" to the toolkit's filters. A description that
// already ends in "(pattern)" is used as it is; patterns joined by ';' become blank-separated.
QStringList ToolkitFilters(const QString &pairs);

// What the real dialog does with the flags: overwrite question, must-exist check.
struct FileDialogBehaviour {
    bool confirmOverwrite = false;
    bool mustExist = false;
};
FileDialogBehaviour BehaviourForFlags(FileDialogKind kind, int flags);

// The file dialog control of a window. It keeps the path last chosen in FileName and offers
// it as the starting name the next time it is shown, whichever way.
class CommonDialog : public QObject {
    Q_OBJECT

public:
    explicit CommonDialog(QWidget *owner);

    QString Filter;      // "Description|pattern" pairs
    int FilterIndex = 1; // one-based
    int Flags = 0;
    QString DefaultExt; // without the dot
    QString FileName;

    // Show as an open or save dialog; false when the user cancelled (FileName unchanged).
    bool ShowOpen();
    bool ShowSave();

private:
    bool Show(FileDialogKind kind);
    QWidget *owner_;
};

// Test backend: answers with the queued results (nothing queued: cancel) and records every
// request.
class RecordingFileDialog final : public FileDialogBackend {
public:
    std::optional<QString> Show(QWidget *, const FileDialogRequest &request) override
    {
        asked.append(request);
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
    QList<FileDialogRequest> asked;
    QList<std::optional<QString>> answers;
};

} // namespace quelvane
