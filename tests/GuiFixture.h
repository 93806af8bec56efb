// The shared set-up of the GUI tests. Make a fixture in init() and drop it in cleanup(), so that
// every test starts from fresh windows and recorders and leaves the real backends in place.
#pragma once

#include <memory>

#include <QTemporaryDir>

#include "forms/Forms.h"
#include "forms/MainAccess.h"
#include "forms/main/MainWindow.h"
#include "model/modTarvock.h"
#include "platform/FileDialog.h"
#include "platform/MemoryRegistry.h"
#include "platform/MessageBox.h"
#include "platform/Programs.h"

namespace quelvane::testing {

// Every dialog a test could meet answered at once, and every program start and registry read
// kept in memory, by recorders a test can queue answers in and read back; and a private folder.
class RecordingSystem {
public:
    RecordingSystem() = default;
    RecordingSystem(const RecordingSystem &) = delete;
    RecordingSystem &operator=(const RecordingSystem &) = delete;

    RecordingFileDialog dialog;
    RecordingMessageBox messages;
    MemoryRegistry registry;
    RecordingProgramStarter starter;
    QTemporaryDir dir;

private:
    const Override<FileDialogBackend> dialogs_{FileDialogSeam, dialog};
    const Override<MessageBoxBackend> boxes_{MessageBoxSeam, messages};
    const Override<RegistryBackend> registries_{RegistrySeam, registry};
    const Override<ProgramStarter> starters_{ProgramStarterSeam, starter};
};

// A fresh Main over `record`, registered as the program's one Main, over a RecordingSystem.
// Going, it unloads every window and empties the record.
class MainFixture : public RecordingSystem {
public:
    explicit MainFixture(const CharacterRecordType &record = {})
    {
        CharacterRecord = record;
        main = std::make_unique<MainWindow>();
        SetMainForm(main.get());
    }
    ~MainFixture()
    {
        UnloadAllForms();
        SetMainForm(nullptr);
        main.reset();
        CharacterRecord = {};
    }

    std::unique_ptr<MainWindow> main;
};

} // namespace quelvane::testing
