// Load and Save: the character file through the shared file dialog.
#include <string>

#include <QFileInfo>

#include "forms/Forms.h"
#include "forms/main/MainWindow.h"
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

void MainWindow::cmdSave_Click()
{
    SaveCharacter();
}

void MainWindow::SaveCharacter()
{
    SetUpCharacterFileDialog(*CommonDialog1);
    if (!CommonDialog1->ShowSave())
        return;
    const QString path = CommonDialog1->FileName;
    // Any failure ends the command silently; the old file, if any, keeps its bytes.
    if (SaveFileReplacing(path, WriteCharacterText(CharacterRecord)) != FileStatus::Ok)
        return;
    SetStatus(path + QStringLiteral(" saved."));
}

void MainWindow::cmdLoad_Click()
{
    SetUpCharacterFileDialog(*CommonDialog1);
    if (!CommonDialog1->ShowOpen())
        return;
    LoadCharacter(CommonDialog1->FileName);
}

void MainWindow::LoadAtStart(const QString &path)
{
    CommonDialog1->FileName = QFileInfo(path).absoluteFilePath();
    LoadCharacter(CommonDialog1->FileName);
}

void MainWindow::LoadCharacter(const QString &path)
{
    UnloadViewersAndSheet();

    std::string bytes;
    if (ReadFileBounded(path, kMaxCharacterFileBytes, bytes) != FileStatus::Ok)
        return;
    // The record changes only when all 71 fields were read.
    switch (ReadCharacterText(bytes, CharacterRecord)) {
    case ReadStatus::Ok:
        SetStatus(path + QStringLiteral(" loaded."));
        return;
    case ReadStatus::Empty:
        ShowMessage(QStringLiteral("No records in data file."), ProgramTitle(),
                    MessageIcon::Exclamation);
        return;
    case ReadStatus::EndedEarly:
    case ReadStatus::NumberOutOfRange:
    case ReadStatus::TooLarge:
    case ReadStatus::NotText:
        return;
    }
}

} // namespace quelvane
