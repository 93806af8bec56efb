#include "forms/main/CharacterFileCommands.h"

#include <string>

#include <QFile>

#include "forms/Forms.h"
#include "model/CharacterFile.h"
#include "model/modTarvock.h"
#include "platform/FileDialog.h"
#include "platform/FileIo.h"
#include "files/FileWriter.h"
#include "platform/MessageBox.h"

namespace quelvane {

namespace {

void SetUpCharacterFileDialog(CommonDialog &dialog)
{
    dialog.Filter = QStringLiteral("Cadrelant Files (*.tbl)|*.tbl");
    dialog.FilterIndex = 1;
    // No overwrite question and no must-exist check: the user may type any name.
    dialog.Flags = kHideReadOnly;
}

// What went wrong, then which file and why in the system's words.
void ShowFileProblem(const QString &headline, const QString &detail)
{
    ShowMessage(headline + QStringLiteral("\n\n") + detail, ProgramTitle(), MessageIcon::Exclamation);
}

QString UnreadableText(ReadStatus status)
{
    switch (status) {
    case ReadStatus::EndedEarly:
        return QStringLiteral("it ends before the Cadrelant is complete");
    case ReadStatus::NumberOutOfRange:
        return QStringLiteral("a number in it is out of range");
    case ReadStatus::TooLarge:
        return QStringLiteral("it is too large to be a Cadrelant file");
    case ReadStatus::NotText:
        return QStringLiteral("it is not a text file");
    case ReadStatus::Ok:
    case ReadStatus::Empty:
        break;
    }
    return {};
}

} // namespace

std::optional<QString> SaveCharacterFile(CommonDialog &dialog)
{
    SetUpCharacterFileDialog(dialog);
    if (!dialog.ShowSave())
        return std::nullopt;
    const QString path = dialog.FileName;
    const FileResult written = SaveFileReplacing(path, WriteCharacterText(CharacterRecord));
    if (!written.ok()) {
        const QString reason = QString::fromLocal8Bit(FileErrorText(written));
        // The user believes the character is kept; the next Generate would lose it unseen.
        ShowFileProblem(QStringLiteral("The Cadrelant could not be saved."),
                        QStringLiteral("%1 cannot be written: %2.").arg(path, reason));
        return std::nullopt;
    }
    return path;
}

std::optional<QString> ChooseCharacterFile(CommonDialog &dialog)
{
    SetUpCharacterFileDialog(dialog);
    if (!dialog.ShowOpen())
        return std::nullopt;
    return dialog.FileName;
}

bool LoadCharacterFile(const QByteArray &nativePath, LoadFailure failure)
{
    UnloadViewersAndSheet();

    auto unreadable = [&](const QString &reason) {
        if (failure == LoadFailure::Told)
            ShowFileProblem(QStringLiteral("The Cadrelant could not be loaded."),
                            QStringLiteral("%1 cannot be read: %2.").arg(QFile::decodeName(nativePath), reason));
        return false;
    };
    std::string bytes;
    if (const FileResult read = ReadFileBounded(nativePath, kMaxCharacterFileBytes, bytes); !read.ok())
        return unreadable(QString::fromLocal8Bit(FileErrorText(read)));
    const ReadStatus status = ReadCharacterText(bytes, CharacterRecord);
    switch (status) {
    case ReadStatus::Ok:
        return true;
    case ReadStatus::Empty:
        ShowMessage(QStringLiteral("No records in data file."), ProgramTitle(),
                    MessageIcon::Exclamation);
        return false;
    case ReadStatus::EndedEarly:
    case ReadStatus::NumberOutOfRange:
    case ReadStatus::TooLarge:
    case ReadStatus::NotText:
        return unreadable(UnreadableText(status));
    }
    return false;
}

} // namespace quelvane
