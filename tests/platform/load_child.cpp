// Reads a file the way Load does, under a memory limit: the crash tests check that no file,
// however large, makes the reader take more than a bounded amount of memory.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/resource.h>

#include <QString>

#include "model/CharacterFile.h"
#include "platform/FileIo.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUELVANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUELVANE_ASAN 1
#endif
#endif

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: load_child FILE LIMIT_MB\n");
        return 2;
    }
#ifndef QUELVANE_ASAN
    // The sanitizers reserve terabytes of address space; the limit only holds without them.
    const rlim_t limit = rlim_t(std::atoi(argv[2])) << 20;
    const rlimit memory{limit, limit};
    if (::setrlimit(RLIMIT_AS, &memory) != 0)
        return 3;
#endif
    std::string bytes;
    const quelvane::FileResult file =
        quelvane::ReadFileBounded(QString::fromLocal8Bit(argv[1]), quelvane::kMaxCharacterFileBytes, bytes);
    if (!file.ok()) {
        std::printf("file:%d\n", static_cast<int>(file.status));
        return 0;
    }
    quelvane::CharacterRecordType record;
    std::printf("read:%s\n", quelvane::ReadStatusName(quelvane::ReadCharacterText(bytes, record)));
    return 0;
}
