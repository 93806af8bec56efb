// What a run of quelvane-roll has created so far, so that a signal that ends the run (the
// reader of a pipe going away, Ctrl-C, kill, a closed terminal) takes it back as any other
// failure does. Plain C++ over POSIX, no Qt.
#pragma once

#include <string>

#include <signal.h>

namespace quelvane::roll {

// Installs the handler for SIGPIPE, SIGTERM, SIGINT and SIGHUP: it removes every file and the
// folder listed below, then ends the process by that same signal (so a shell sees 141 for
// SIGPIPE). For the program's main(), before any other thread exists; in-process tests of
// RunRoll leave it out, and the lists then cost nothing.
void InstallTakeBackHandler();

// The lists the handler reads. Only the thread that called InstallTakeBackHandler changes
// them, and only inside a TakeBackStep, so the handler never meets a half-made entry; a
// signal that another thread receives is passed on to that thread.
void TakeBackFile(const std::string &path);
void TakeBackFolder(const std::string &path);
// The run has succeeded (or taken back its own files): nothing is removed from here on.
void ClearTakeBack();

// Holds the four signals off for its lifetime, so that a step that creates a file and the
// listing of that file happen as one: a signal arriving meanwhile is handled right after.
class TakeBackStep {
public:
    TakeBackStep();
    ~TakeBackStep();
    TakeBackStep(const TakeBackStep &) = delete;
    TakeBackStep &operator=(const TakeBackStep &) = delete;

private:
    sigset_t saved_;
};

} // namespace quelvane::roll
