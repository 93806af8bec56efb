// Saves two contents over one file, alternately and without end, until it is killed. The
// crash test kills it at random moments and then inspects what is on disk.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <QString>

#include "platform/FileIo.h"

namespace {
std::string Slurp(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 4 && !(argc == 5 && std::string(argv[4]) == "named")) {
        std::fprintf(stderr, "usage: save_child TARGET FIRST SECOND [named]\n");
        return 2;
    }
    quelvane::SetUnnamedFilesAllowed(argc == 4);
    const QString target = QString::fromLocal8Bit(argv[1]);
    const std::string contents[2] = {Slurp(argv[2]), Slurp(argv[3])};
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (unsigned i = 0;; ++i) {
        if (quelvane::SaveFileReplacing(target, contents[i % 2]) != quelvane::FileStatus::Ok)
            return 1;
    }
}
