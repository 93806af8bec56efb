// Saves two contents over one file, alternately and without end, until it is killed. The
// crash test kills it at random moments and then inspects what is on disk. "named" stages as
// without unnamed files; "racing" goes on after a failed save (another process saving the
// same file may make a save fail, which is then reported, not wrong).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <QString>

#include "platform/FileIo.h"
#include "files/FileWriter.h"

namespace {
std::string Slurp(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
} // namespace

int main(int argc, char **argv)
{
    bool named = false, racing = false;
    for (int i = 4; i < argc; ++i) {
        named = named || std::string(argv[i]) == "named";
        racing = racing || std::string(argv[i]) == "racing";
    }
    if (argc < 4 || argc - 4 != int(named) + int(racing)) {
        std::fprintf(stderr, "usage: save_child TARGET FIRST SECOND [named] [racing]\n");
        return 2;
    }
    quelvane::SetUnnamedStagingAllowed(!named);
    const QString target = QString::fromLocal8Bit(argv[1]);
    const std::string contents[2] = {Slurp(argv[2]), Slurp(argv[3])};
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (unsigned i = 0;; ++i) {
        if (!quelvane::SaveFileReplacing(target, contents[i % 2]).ok() && !racing)
            return 1;
    }
}
