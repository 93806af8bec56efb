#include "roll/TakeBack.h"

#include <vector>

#include <sys/syscall.h>
#include <unistd.h>

namespace quelvane::roll {
namespace {

constexpr int kSignals[] = {SIGPIPE, SIGTERM, SIGINT, SIGHUP};

// Read by the handler, changed only inside a TakeBackStep on the owning thread.
std::vector<std::string> g_files;
std::string g_folder;
pid_t g_owner = 0; // the thread that keeps the lists; 0 until the handler is installed

sigset_t TakeBackSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kSignals)
        sigaddset(&set, signal);
    return set;
}

pid_t ThreadId()
{
    return pid_t(::syscall(SYS_gettid));
}

// Only async-signal-safe calls: unlink, rmdir, signal, raise and raw system calls.
void TakeBackAndDie(int signal)
{
    // Qt's threads (for --pdf) may catch a signal meant for the process; only the owner
    // knows that no step is half done, so it gets the signal instead.
    if (ThreadId() != g_owner) {
        ::syscall(SYS_tgkill, ::getpid(), g_owner, signal);
        return;
    }
    for (const std::string &file : g_files)
        ::unlink(file.c_str());
    if (!g_folder.empty())
        ::rmdir(g_folder.c_str());
    // Held off until this handler returns, then the default action ends the process.
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

} // namespace

void InstallTakeBackHandler()
{
    g_owner = ThreadId();
    struct sigaction action {};
    action.sa_handler = TakeBackAndDie;
    action.sa_mask = TakeBackSignals(); // one clean-up at a time
    for (int signal : kSignals) {
        struct sigaction previous {};
        // What was ignored when the run started (nohup's SIGHUP) stays ignored.
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
}

void TakeBackFile(const std::string &path)
{
    g_files.push_back(path);
}

void TakeBackFolder(const std::string &path)
{
    g_folder = path;
}

void ClearTakeBack()
{
    g_files.clear();
    g_folder.clear();
}

TakeBackStep::TakeBackStep()
{
    const sigset_t set = TakeBackSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, &saved_);
}

TakeBackStep::~TakeBackStep()
{
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

} // namespace quelvane::roll
