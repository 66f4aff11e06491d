#include "records/atomicfile.h"
#include "records/filelock.h"
#include "records/safefiles.h"
#include "support/testfiles.h"
#include "workbench/palette.h"

#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <thread>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace zul::testing {
namespace {

class SafeFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        shared = dir.filePath("shared");
        ASSERT_EQ(::mkdir(QFile::encodeName(shared).constData(), 0777), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
        victim = dir.filePath("victim");
        ASSERT_EQ(writeFileAtomically(victim, "mine\n"), QString());
        // Every link looks planted by someone else.
        setLinkOwnerForTesting(
            [](const QString&) { return std::optional<uid_t>(::geteuid() + 1); });
    }
    void TearDown() override { setLinkOwnerForTesting({}); }
    QTemporaryDir dir;
    QString shared, victim;
};

// A neighbour flips the output's name between missing and a link to the user's file while the
// writer runs: whatever the timing, nothing reaches the file behind the link.
TEST_F(SafeFiles, NameFlippedToAForeignLinkIsNeverWrittenThrough) {
    const QString out = shared + "/out.csv";
    const QByteArray name = QFile::encodeName(out), target = QFile::encodeName(victim);
    const std::function<bool()> writers[] = {
        [&] { return writeFileAtomically(out, "$(payload)\n").isEmpty(); },
        [&] { return appendPaletteLine(out, "\"$(payload)\"\r\n").isEmpty(); },
        [&] {
            AtomicFile pdf(out);
            return pdf.open() && pdf.device().write("%PDF-1.4 $(payload)\n") > 0 &&
                   pdf.commit().isEmpty();
        },
    };
    for (const auto& writer : writers) {
        std::atomic<bool> stop{false};
        std::thread flipper([&] {
            while (!stop) {
                ::unlink(name.constData());
                ::usleep(100); // missing for a while, so that some writes start
                ::symlink(target.constData(), name.constData());
                ::usleep(100);
            }
        });
        // Written: through to the shared folder itself, when the name was free. A loaded
        // machine may starve the flipper, so the runs go on past 2,000 until both outcomes
        // were seen.
        int written = 0, refused = 0;
        for (int run = 0; run < 20000 && (run < 2000 || !written || !refused); ++run)
            ++(writer() ? written : refused);
        stop = true;
        flipper.join();
        ASSERT_EQ(contentOf(victim), "mine\n");
        EXPECT_GT(written, 0) << &writer - writers; // some writes got through the check
        EXPECT_GT(refused, 0) << &writer - writers; // and some met the link
    }
}

// What a neighbour plants in a shared folder is refused at once, by its name.
TEST_F(SafeFiles, PlantedOutputsAreRefusedWithTheirNames) {
    const QString fifo = dir.filePath("fifo"); // the user's own, nobody reading it
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(writeFileAtomically(fifo, "x"),
              '"' + fifo + "\" is a FIFO that no program reads; nothing was written");
    EXPECT_EQ(appendPaletteLine(fifo, "x\r\n"),
              '"' + fifo + "\" is not a regular file; nothing was written");

    const QString link = shared + "/link.csv";
    ASSERT_TRUE(QFile::link(victim, link));
    EXPECT_EQ(appendPaletteLine(link, "x\r\n"),
              '"' + link + "\" is a link owned by another user; nothing was written");

    const QString planted[] = {shared + "/their.csv", shared + "/their.fifo"};
    ASSERT_EQ(writeFileAtomically(planted[0], "theirs\n"), QString());
    ASSERT_EQ(::mkfifo(QFile::encodeName(planted[1]).constData(), 0666), 0);
    for (const QString& file : planted) {
        if (::chown(QFile::encodeName(file).constData(), ::geteuid() + 1, ::getegid()) != 0)
            GTEST_SKIP() << "cannot give a file to another user (not root)";
        const QString refused = '"' + file + "\" belongs to another user; nothing was written";
        EXPECT_EQ(writeFileAtomically(file, "x"), refused);
        EXPECT_EQ(appendPaletteLine(file, "x\r\n"), refused);
    }
    EXPECT_EQ(contentOf(planted[0]), "theirs\n");
    EXPECT_EQ(contentOf(victim), "mine\n");
}

// A lock left behind is taken over: at once when it cannot be read and is old, never while a
// live writer holds it, whose busy message names the lock.
TEST_F(SafeFiles, LeftLocksAreTakenOverLiveOnesNamed) {
    const QString palette = dir.filePath("p.csv");
    const QString lockName = palette + ".lock";
    const auto age = [&] {
        const struct utimbuf old { 0, 0 };
        ASSERT_EQ(::utime(QFile::encodeName(lockName).constData(), &old), 0);
    };
    ASSERT_EQ(writeFileAtomically(lockName, ""), QString()); // empty
    age();
    EXPECT_EQ(appendPaletteLine(palette, "a\r\n"), QString());
    ASSERT_EQ(::mkfifo(QFile::encodeName(lockName).constData(), 0600), 0); // not a file at all
    PaletteLock fresh(palette);
    EXPECT_FALSE(fresh.acquire(100)); // young: its maker may be writing it
    age();
    EXPECT_EQ(appendPaletteLine(palette, "b\r\n"), QString());
    EXPECT_EQ(contentOf(palette), "a\r\nb\r\n");

    FileLock held(lockName);
    ASSERT_EQ(held.tryLock(), FileLock::State::Locked);
    age(); // however old: its holder lives
    PaletteLock second(palette);
    EXPECT_FALSE(second.acquire(100));
    EXPECT_TRUE(second.busyMessage().contains('"' + lockName + '"'));
}

} // namespace
} // namespace zul::testing
