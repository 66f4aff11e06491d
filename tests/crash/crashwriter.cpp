// crashwriter KIND PATH FIRST [--count N] [--limit BYTES]
// Writes generations FIRST, FIRST+1, ... of a file kind to PATH, announcing each on standard
// output (its number as 4 raw bytes, written before the generation starts) so that whoever
// kills this program knows which write it interrupted. Runs until killed, or N generations.
// --limit caps the size of any file this process writes (as a full disk would): the write fails
// and its message goes to standard error; exit status 1.
#include "filekinds.h"

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: crashwriter KIND PATH FIRST [--count N] [--limit BYTES]\n");
        return 2;
    }
    const zul::testing::FileKind* kind =
        zul::testing::findFileKind(QString::fromLocal8Bit(argv[1]));
    if (!kind) {
        std::fprintf(stderr, "unknown file kind %s\n", argv[1]);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[2]);
    const int first = std::atoi(argv[3]);
    long count = -1;
    for (int i = 4; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--count") == 0) count = std::atol(argv[i + 1]);
        if (std::strcmp(argv[i], "--limit") == 0) {
            // The write fails with EFBIG instead of the process dying of SIGXFSZ.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlim_t limit = std::strtoull(argv[i + 1], nullptr, 10);
            const rlimit r{limit, limit};
            if (setrlimit(RLIMIT_FSIZE, &r) != 0) {
                std::perror("setrlimit");
                return 2;
            }
        }
    }
    for (std::int32_t g = first; count < 0 || g < first + count; ++g) {
        if (write(STDOUT_FILENO, &g, sizeof g) != sizeof g) return 2;
        const QString failure = kind->write(path, g);
        if (!failure.isEmpty()) {
            std::fprintf(stderr, "%s\n", failure.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
