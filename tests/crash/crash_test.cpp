// Crash safety of every file kind: the helper program writes generation after generation and is
// killed with SIGKILL at random moments; afterwards a rewritten file holds the old or the new
// content whole, and an appended file holds whole records, none lost. A file-size limit during a
// write leaves the old file and a message naming it.
#include "filekinds.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <map>
#include <random>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zul::testing {
namespace {

constexpr int kKillsPerKind = 200;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string drain(int fd) {
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;)
        out.append(buf, static_cast<std::size_t>(n));
    close(fd);
    return out;
}

struct Child {
    pid_t pid = -1;
    int out = -1, err = -1;
    std::string early; // announcements read before the end

    explicit Child(const std::vector<std::string>& args) {
        int o[2], e[2];
        if (pipe(o) != 0 || pipe(e) != 0) return;
        pid = fork();
        if (pid == 0) {
            dup2(o[1], STDOUT_FILENO);
            dup2(e[1], STDERR_FILENO);
            close(o[0]), close(o[1]), close(e[0]), close(e[1]);
            std::vector<char*> argv;
            for (const std::string& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(o[1]), close(e[1]);
        out = o[0], err = e[0];
    }

    // Blocks until the writer announces its first generation (false if it ended first).
    bool waitForFirstWrite() {
        char buf[sizeof(std::int32_t)];
        while (early.size() < sizeof buf) {
            const ssize_t n = read(out, buf, sizeof buf - early.size());
            if (n <= 0) return false;
            early.append(buf, static_cast<std::size_t>(n));
        }
        return true;
    }

    // Waits for the end; the status of waitpid. Reads both pipes (they hold little).
    int wait(std::vector<std::int32_t>& announced, std::string& errText) {
        int status = 0;
        waitpid(pid, &status, 0);
        const std::string o = early + drain(out);
        errText = drain(err);
        announced.resize(o.size() / sizeof(std::int32_t));
        std::memcpy(announced.data(), o.data(), announced.size() * sizeof(std::int32_t));
        return status;
    }
};

std::vector<std::string> writerArgs(const FileKind& kind, const QString& path, int first) {
    return {ZUL_CRASHWRITER, kind.name, path.toStdString(), std::to_string(first)};
}

class CrashTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        kind = findFileKind(QString::fromStdString(GetParam()));
        ASSERT_NE(kind, nullptr);
        ASSERT_TRUE(dir.isValid() && scratch.isValid());
        path = dir.filePath(kind->fileName);
    }

    // What generation g writes into an empty file, by the same code in this process.
    const QByteArray& content(int g) {
        auto it = cache.find(g);
        if (it != cache.end()) return it->second;
        // A folder per generation: some writers write only one name.
        QDir(scratch.path()).mkpath(QString::number(g));
        const QString file = scratch.filePath(QString::number(g) + '/' + kind->fileName);
        EXPECT_EQ(kind->write(file, g), QString());
        return cache[g] = readAll(file);
    }

    QStringList strayFiles() const {
        QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(kind->fileName);
        return names;
    }

    const FileKind* kind = nullptr;
    QTemporaryDir dir, scratch;
    QString path;
    std::map<int, QByteArray> cache;
};

TEST_P(CrashTest, KilledAtRandomMomentsLeavesWholeContent) {
    // Kills land within about four writes of the first: later ones test nothing new, an appended
    // file would grow without end, and on a slow or loaded machine (a sanitizer build) both
    // outcomes still occur.
    const auto start = std::chrono::steady_clock::now();
    for (int g = 1; g <= 5; ++g)
        content(g);
    const auto perWrite = (std::chrono::steady_clock::now() - start) / 5;
    const auto window = std::clamp<std::chrono::microseconds>(
        std::chrono::duration_cast<std::chrono::microseconds>(4 * perWrite),
        std::chrono::microseconds(500), std::chrono::microseconds(500000));
    ASSERT_NE(content(1), content(2)) << "generations must be told apart";
    int next = 0;
    if (!kind->append) {
        ASSERT_EQ(kind->write(path, 0), QString());
        next = 1;
    }
    QByteArray onDisk = readAll(path);
    std::mt19937 rng(18);
    std::uniform_int_distribution<long> delayUs(0, window.count());
    int landed = 0, midRun = 0, keptOld = 0, gotNew = 0;
    while (landed < kKillsPerKind) {
        Child child(writerArgs(*kind, path, next));
        ASSERT_GT(child.pid, 0);
        // From the start of the first write on: a kill during start-up tests nothing.
        ASSERT_TRUE(child.waitForFirstWrite());
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(rng)));
        kill(child.pid, SIGKILL);
        std::vector<std::int32_t> gens;
        std::string err;
        const int status = child.wait(gens, err);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer ended by itself: " << err;
        const QByteArray now = readAll(path);
        ASSERT_FALSE(gens.empty());
        ++landed;
        if (gens.size() > 1) ++midRun;
        const int g = gens.back();
        ASSERT_EQ(gens.front(), next);
        QByteArray before = onDisk, after;
        if (kind->append) {
            for (int i = next; i < g; ++i)
                before += content(i);
            after = before + content(g);
        } else {
            if (g > next) before = content(g - 1);
            after = content(g);
        }
        if (now == after) {
            ++gotNew;
            next = g + 1;
        } else {
            ++keptOld;
            ASSERT_TRUE(now == before)
                << "kill " << landed << " during generation " << g
                << " left neither the old nor the new content (" << now.size() << " bytes)";
            next = g;
        }
        onDisk = now;
    }
    // Each kill of a rewrite can leave its temporary file behind; the target is never touched.
    const QStringList strays = strayFiles();
    for (const QString& name : strays)
        EXPECT_TRUE(name.startsWith(QString(kind->fileName) + ".")) << name.toStdString();
    std::cout << kind->name << ": " << landed << " kills during writing (" << midRun
              << " after at least one whole write; " << gotNew << " left the new content, "
              << keptOld << " the old; kills up to " << window.count()
              << " us after the first write began), " << strays.size()
              << " temporary files left by kills\n";
    // Kills must also land after whole writes (the file then holds a newer generation than the
    // run started from), or they did not land where it matters.
    EXPECT_GT(gotNew + midRun, 0);
    if (!kind->append) {
        EXPECT_GT(keptOld, 0);
    }
}

TEST_P(CrashTest, FullDiskLeavesTheOldFileAndSaysWhy) {
    for (int g = 0; g < 3; ++g)
        ASSERT_EQ(kind->write(path, g), QString());
    const QByteArray old = readAll(path);
    const qint64 limit = (kind->append ? old.size() : 0) + content(3).size() / 2;

    auto args = writerArgs(*kind, path, 3);
    args.insert(args.end(), {"--count", "1", "--limit", std::to_string(limit)});
    Child full(args);
    std::vector<std::int32_t> gens;
    std::string err;
    int status = full.wait(gens, err);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << err;
    EXPECT_NE(err.find(path.toStdString()), std::string::npos) << err;
    EXPECT_NE(err.find("too large"), std::string::npos) << err; // the reason, EFBIG
    EXPECT_EQ(readAll(path), old);
    EXPECT_TRUE(strayFiles().isEmpty()) << strayFiles().join(", ").toStdString();

    // The same write without the limit succeeds: the limit was what failed it.
    auto freeArgs = writerArgs(*kind, path, 3);
    freeArgs.insert(freeArgs.end(), {"--count", "1"});
    Child free(freeArgs);
    status = free.wait(gens, err);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << err;
    EXPECT_EQ(readAll(path), kind->append ? old + content(3) : content(3));
}

std::vector<std::string> kindNames() {
    std::vector<std::string> names;
    for (const FileKind& k : fileKinds())
        names.emplace_back(k.name);
    return names;
}

INSTANTIATE_TEST_SUITE_P(EveryFileKind, CrashTest, ::testing::ValuesIn(kindNames()),
                         [](const auto& info) { return info.param; });

} // namespace
} // namespace zul::testing
