#include "forms/main/CharacterFileCommands.h"

#include <string>

#include "forms/Forms.h"
#include "model/CharacterFile.h"
#include "model/modTarvock.h"
#include "platform/FileDialog.h"
#include "platform/FileIo.h"
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

} // namespace

std::optional<QString> SaveCharacterFile(CommonDialog &dialog)
{
    SetUpCharacterFileDialog(dialog);
    if (!dialog.ShowSave())
        return std::nullopt;
    const QString path = dialog.FileName;
    if (SaveFileReplacing(path, WriteCharacterText(CharacterRecord)) != FileStatus::Ok)
        return std::nullopt;
    return path;
}

std::optional<QString> ChooseCharacterFile(CommonDialog &dialog)
{
    SetUpCharacterFileDialog(dialog);
    if (!dialog.ShowOpen())
        return std::nullopt;
    return dialog.FileName;
}

bool LoadCharacterFile(const QByteArray &path)
{
    UnloadViewersAndSheet();

    std::string bytes;
    if (ReadFileBounded(path, kMaxCharacterFileBytes, bytes) != FileStatus::Ok)
        return false;
    switch (ReadCharacterText(bytes, CharacterRecord)) {
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
        return false;
    }
    return false;
}

} // namespace quelvane
