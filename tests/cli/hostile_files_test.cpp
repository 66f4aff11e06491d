// What a hostile neighbour in a shared folder can plant, met by the built program: links another
// user owns in a sticky folder, FIFOs and devices in place of files, CGATS includes, a palette
// written by two programs at once. Every link, FIFO and device is made in the test's own folder.
#include "records/safefiles.h"
#include "support/zulprocess.h"
#include "text/printable.h"
#include "workbench/palette.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zul::testing {
namespace {

constexpr uid_t kOtherUser = 65534; // nobody

struct MeasuredRun {
    int status = -1;
    long peakKiB = 0; // the program's peak resident size
};

// `zul ARGS...` with `head`, a line of `longLine` bytes and `tail` streamed to its standard
// input through a pipe (never held by the test), standard output and error to files.
MeasuredRun runZulOnLongLine(const QStringList& args, const std::string& head, std::size_t longLine,
                             const std::string& tail, const QString& out, const QString& err) {
    std::vector<std::string> words = {QFile::encodeName(zulProgram()).toStdString()};
    for (const QString& a : args)
        words.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
    const QByteArray outName = QFile::encodeName(out), errName = QFile::encodeName(err);
    posix_spawn_file_actions_addopen(&actions, 1, outName.constData(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errName.constData(), O_WRONLY | O_CREAT, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[0]);
    if (spawned != 0) {
        ::close(pipeFds[1]);
        return {};
    }
    const auto put = [fd = pipeFds[1]](const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t n = ::write(fd, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    };
    const std::string block(1 << 20, 'x');
    bool fed = put(head.data(), head.size());
    for (std::size_t left = longLine; fed && left > 0; left -= std::min(left, block.size()))
        fed = put(block.data(), std::min(left, block.size()));
    if (fed) put(tail.data(), tail.size());
    ::close(pipeFds[1]);
    int status = 0;
    struct rusage usage {};
    if (::wait4(pid, &status, 0, &usage) != pid) return {};
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
}

class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(dir.isValid());
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const QByteArray& content) const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path(name);
    }
    static QByteArray read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A folder as /tmp is: everyone may write, the sticky bit set.
    QString stickyFolder(const QString& name) const {
        const QString p = path(name);
        EXPECT_TRUE(QDir().mkpath(p));
        EXPECT_EQ(::chmod(QFile::encodeName(p).constData(), 01777), 0);
        return p;
    }
    ProgramRun zul(const QStringList& args, const QByteArray& input = {}) const {
        return runZul(args, input, dir.path());
    }
    QTemporaryDir dir;
};

// The kernel's rule for links in sticky folders, which the writers apply themselves.
TEST(LinkRule, FollowsOnlyTheUsersOrTheFolderOwnersLinkInAStickyFolder) {
    struct Case {
        bool sticky;
        uid_t link, folder, user;
        bool follows;
    } cases[] = {
        {false, 7, 8, 9, true}, {true, 9, 8, 9, true},  {true, 8, 8, 9, true},
        {true, 7, 8, 9, false}, {true, 7, 0, 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(followsLink(c.sticky, c.link, c.folder, c.user), c.follows)
            << c.sticky << ' ' << c.link << ' ' << c.folder << ' ' << c.user;
}

// Through the injectable owner: any user can run it.
TEST_F(HostileFiles, ForeignLinkInStickyFolderIsRefusedByTheOwnerCheck) {
    const QString shared = stickyFolder("shared");
    const QString plain = path("plain");
    ASSERT_TRUE(QDir().mkpath(plain));
    const QString victim = write("victim", "mine\n");
    for (const QString& folder : {shared, plain})
        ASSERT_TRUE(QFile::link(victim, folder + "/out.prn"));
    setLinkOwnerForTesting([](const QString&) { return std::optional<uid_t>(::geteuid() + 1); });
    const QString refused = refusedOutputLink(shared + "/out.prn");
    const QString followed = refusedOutputLink(plain + "/out.prn");
    setLinkOwnerForTesting({});
    EXPECT_EQ(refused, '"' + shared +
                           "/out.prn\" is a link owned by another user; nothing was "
                           "written");
    EXPECT_EQ(followed, QString());
    EXPECT_EQ(refusedOutputLink(shared + "/out.prn"), QString()); // the user's own link
}

// The real program, with a link really owned by someone else (the test needs root to give it).
TEST_F(HostileFiles, OutputsNeverFollowAnotherUsersLinkInAStickyFolder) {
    const QString shared = stickyFolder("shared");
    const QString victim = write("victim", "mine\n");
    const QString link = shared + "/out.prn";
    ASSERT_TRUE(QFile::link(victim, link));
    if (::lchown(QFile::encodeName(link).constData(), kOtherUser, kOtherUser) != 0)
        GTEST_SKIP() << "cannot give a link to another user (not root)";
    write("RHScolors.txt", "a,b,5R,4,10\r\n");
    const ProgramRun table = zul({"table", "-o", link});
    EXPECT_EQ(table.status, 3);
    EXPECT_NE(table.err.find("is a link owned by another user"), std::string::npos) << table.err;
    const ProgramRun batch = zul({"batch", "chart", "-i", "RHScolors.txt", "-o", link});
    EXPECT_NE(batch.status, 0);
    EXPECT_NE(batch.err.find("is a link owned by another user"), std::string::npos) << batch.err;
    const ProgramRun pdf = zul({"chart", "hue", "5R", "--pdf", link});
    EXPECT_NE(pdf.status, 0);
    EXPECT_EQ(read(victim), "mine\n");
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    // The same link outside a sticky folder is followed as before.
    const QString plain = path("plain.prn");
    ASSERT_TRUE(QFile::link(victim, plain));
    ASSERT_EQ(::lchown(QFile::encodeName(plain).constData(), kOtherUser, kOtherUser), 0);
    EXPECT_EQ(zul({"table", "-o", plain}).status, 0);
    EXPECT_NE(read(victim), "mine\n");
}

TEST_F(HostileFiles, ChartPdfIsReplacedAtomicallyWithItsPermissions) {
    const QString pdf = write("hue.pdf", "old");
    ASSERT_TRUE(QFile::setPermissions(pdf, QFile::ReadOwner | QFile::WriteOwner));
    // A planted link on the old fixed temporary name must lead nowhere.
    const QString other = write("other", "untouched");
    ASSERT_TRUE(QFile::link(other, path(".hue.pdf.part")));
    const ProgramRun run = zul({"chart", "hue", "5R", "--pdf", "hue.pdf"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(read(pdf).startsWith("%PDF-"));
    EXPECT_FALSE(QFileInfo(pdf).isSymLink());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(pdf).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(read(other), "untouched");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 3)
        << QDir(dir.path())
               .entryList(QDir::Files | QDir::Hidden | QDir::System)
               .join(' ')
               .toStdString();
}

// A FIFO (or a device) named as an output is written in place and stays what it is.
TEST_F(HostileFiles, SpecialOutputsAreWrittenInPlace) {
    const QString fifo = path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Held open for writing too, so that neither side waits for the other to open, and a
    // program that replaced the FIFO leaves the reader with nothing rather than waiting forever.
    const int keeper = ::open(QFile::encodeName(fifo).constData(), O_RDWR);
    ASSERT_GE(keeper, 0);
    QByteArray got;
    std::thread reader([&] {
        QFile f(fifo);
        if (f.open(QIODevice::ReadOnly)) got = f.readAll();
    });
    const ProgramRun run = zul({"table", "-o", fifo});
    ::close(keeper);
    reader.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_GT(got.size(), 1000);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));

    // The program's own standard output by its name, a pipe and a file: written where it leads.
    for (const char* to : {"| cat", "> out.csv; cat out.csv"}) {
        const ProgramRun named = runProgram(
            "/bin/sh",
            {"-c", QString("\"$0\" chart colorchecker --csv /dev/stdout ") + to, zulProgram()}, {},
            dir.path(), 10000);
        EXPECT_EQ(named.status, 0) << to << named.err;
        EXPECT_EQ(named.lines().size(), 25u) << to;
    }

    // A null device of our own, where the system lets us make one.
    const QString null = path("null");
    if (::mknod(QFile::encodeName(null).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a device node here";
    EXPECT_EQ(zul({"table", "-o", null}).status, 0);
    EXPECT_EQ(zul({"chart", "hue", "5R", "--pdf", null}).status, 0);
    ASSERT_EQ(::stat(QFile::encodeName(null).constData(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(HostileFiles, CgatsIncludesAreRefused) {
    write("secret.txt", "hunter2 rest\n");
    const QByteArray cgats = "CGATS.17\n.include \"" + path("secret.txt").toUtf8() +
                             "\"\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSAMPLE_ID XYZ_X XYZ_Y "
                             "XYZ_Z\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\nBEGIN_DATA\n1 20 20 "
                             "20\nEND_DATA\n";
    write("in.cgats", cgats);
    const ProgramRun batch =
        zul({"batch", "xyz", "-i", "in.cgats", "--format", "cgats", "--palette", "p.csv"});
    EXPECT_NE(batch.status, 0);
    EXPECT_NE(batch.err.find("CGATS includes are not read"), std::string::npos) << batch.err;
    EXPECT_FALSE(QFile::exists(path("p.csv")));

    write("spectrum.cgats", cgats);
    const ProgramRun import =
        zul({"measure", "--instrument", "Import", "--file", "spectrum.cgats"});
    EXPECT_NE(import.status, 0);
    EXPECT_NE(import.err.find("CGATS includes are not read"), std::string::npos) << import.err;
    EXPECT_EQ(import.out.find("hunter2"), std::string::npos);
}

// Inputs that are not regular files end with a message, never a hang or an abort.
TEST_F(HostileFiles, SpecialInputsAreRefused) {
    const QString fifo = path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case {
        QStringList args;
        QString input;
    } cases[] = {
        {{"measure", "--instrument", "Import", "--file", "/dev/zero"}, "/dev/zero"},
        {{"measure", "--instrument", "Import", "--file", fifo}, fifo},
        {{"view", fifo, "--png", path("v.png")}, fifo},
        {{"palette-from-picture", fifo, "-o", path("p.csv")}, fifo},
    };
    for (const Case& c : cases) {
        const ProgramRun run = zul(c.args);
        EXPECT_GT(run.status, 0) << c.args.join(' ').toStdString(); // not -1: ended, no crash
        EXPECT_NE(run.err.find("not a regular file"), std::string::npos)
            << c.args.join(' ').toStdString() << ": " << run.err;
    }
    // The viewer's last palette and the instrument settings, as the window reads them.
    EXPECT_EQ(readRegularFile(fifo, 1024).error, '"' + fifo + "\" is not a regular file");
    EXPECT_EQ(readRegularFile("/dev/zero", 1024).error, "\"/dev/zero\" is not a regular file");
    const QString big = write("big", QByteArray(2048, 'x'));
    EXPECT_EQ(readRegularFile(big, 1024).error, '"' + big + "\" is larger than 1024 bytes");
    EXPECT_EQ(readRegularFile(big, 2048).bytes.size(), 2048);
}

// "Save to Palette" while a batch job appends to the same palette: every record stays.
TEST_F(HostileFiles, ConcurrentSavesAndAppendsLoseNoRecord) {
    QByteArray input;
    constexpr int kRecords = 20000;
    for (int i = 0; i < kRecords; ++i)
        input += "t" + QByteArray::number(i) + ",18,20,22\r\n";
    write("in.csv", input);
    const QString palette = path("p.csv");
    std::atomic<bool> done{false};
    int saved = 0, busy = 0;
    std::thread saver([&] {
        const QByteArray line = "\"save\"\r\n";
        while (!done) {
            const QString failure = appendPaletteLine(palette, line);
            if (failure.isEmpty())
                ++saved;
            else if (failure.contains("is busy"))
                ++busy;
            else
                ADD_FAILURE() << failure.toStdString();
        }
    });
    const ProgramRun run = zul({"batch", "xyz", "-i", "in.csv", "--palette", palette});
    done = true;
    saver.join();
    EXPECT_TRUE(run.status == 0 || run.err.find("is busy") != std::string::npos) << run.err;
    const int batchLines = run.status == 0 ? kRecords : 0;
    EXPECT_EQ(countPaletteRecords(palette), batchLines + saved)
        << saved << " saved, " << busy << " busy";
    EXPECT_GT(saved, 0);
}

TEST(Printable, ShowsControlCharactersInCaretNotation) {
    const struct {
        std::string_view in;
        std::string out;
    } cases[] = {
        {"plain 5R 4/10", "plain 5R 4/10"},
        {"\x1b]0;owned\x07", "^[]0;owned^G"},
        {std::string_view("a\0b", 3), "a^@b"},
        {"tab\tcr\rlf\ndel\x7f", "tab\tcr^Mlf^Jdel^?"},
        {"csi \xc2\x9b"
         "31m \xc3\xa9",
         "csi \\u009b31m \xc3\xa9"}, // C1 escaped, é kept
    };
    for (const auto& c : cases)
        EXPECT_EQ(printable(c.in), c.out);
}

// A file name with an escape sequence reaches the terminal as text, not as a command.
TEST_F(HostileFiles, FileNamesAreEscapedOnTheTerminal) {
    const ProgramRun run = zul({"view", "red\x1b[31m.csv", "--png", "v.png"});
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("red^[[31m.csv"), std::string::npos) << run.err;
}

// A line over 1 MiB is skipped with its number; the lines around it are converted, and the
// numbers after it stay right.
TEST_F(HostileFiles, ALineOverOneMebibyteIsSkippedWithItsNumber) {
    const QByteArray longLine(2 << 20, '7');
    write("in.csv", "18,20,22\n" + longLine + "\n30,31,32\r\n\n" + longLine + "\r40,41,42\n");
    write("head.csv", longLine + "\r\n18,20,22\n");
    write("good.csv", "18,20,22\n30,31,32\n40,41,42\n");
    const std::vector<std::string> good = zul({"convert", "--from", "xyz", "good.csv"}).lines();
    ASSERT_EQ(good.size(), 4u);
    const std::string skippedRow(18, ',');
    const std::string note = "the line is longer than 1 MiB; skipped";
    struct Case {
        QStringList args;
        std::string message;
        std::vector<std::string> rows; // after the header
    } cases[] = {
        {{"convert", "--from", "xyz", "in.csv"},
         "\"in.csv\": line 2 and 1 more are longer than 1 MiB; skipped",
         {good[1], skippedRow + note, good[2], skippedRow + note, good[3]}},
        // The first line read ahead for the columns, too long to be a header.
        {{"convert", "--from", "xyz", "--columns", "1,2,3", "head.csv"},
         "\"head.csv\": line 1 is longer than 1 MiB; skipped",
         {skippedRow + note, good[1]}},
        {{"convert", "--from", "xyz", "--columns", "X,Y,Z", "head.csv"},
         "\"head.csv\": line 1 is longer than 1 MiB; no column names are read from it",
         {}},
    };
    for (const Case& c : cases) {
        const ProgramRun run = zul(c.args);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        std::vector<std::string> lines = run.lines();
        if (!lines.empty()) lines.erase(lines.begin());
        EXPECT_EQ(lines, c.rows) << c.args.join(' ').toStdString();
    }
    const ProgramRun second = zul({"convert", "--from", "xyz", "in.csv"});
    EXPECT_EQ(second.status, 1);
    EXPECT_NE(second.err.find("(lines 2, 5)"), std::string::npos) << second.err;

    // The batch job: the long line is a skipped record with its number and reason.
    const ProgramRun batch =
        zul({"batch", "lab", "-i", "in.csv", "-o", "out.txt", "--errors", "errors.csv"});
    EXPECT_EQ(batch.status, 1) << batch.err;
    EXPECT_NE(batch.err.find("\"in.csv\": line 2 and 1 more are longer than 1 MiB; skipped"),
              std::string::npos)
        << batch.err;
    EXPECT_NE(batch.err.find("2 of 5 records not converted (lines 2, 5)"), std::string::npos)
        << batch.err;
    EXPECT_EQ(read(path("errors.csv")), "2,,the line is longer than 1 MiB\r\n"
                                        "5,,the line is longer than 1 MiB\r\n");
    const QList<QByteArray> out = read(path("out.txt")).trimmed().split('\n');
    ASSERT_EQ(out.size(), 4) << read(path("out.txt")).toStdString(); // heading and 3 records
    EXPECT_TRUE(out[3].startsWith(" 5 ,")) << out[3].toStdString();
}

// A note quotes the field it could not read: shown, never sent to the terminal as a command.
// (The fields themselves are the data and go out as they came.)
TEST_F(HostileFiles, ConvertNotesShowControlCharacters) {
    write("esc.csv", "1,2,3\n18\x1b]0;owned\x07,20,22\n");
    for (const QStringList& extra : {QStringList(), QStringList{"--raw"}}) {
        const ProgramRun run =
            zul(QStringList{"convert", "--from", "xyz"} + extra + QStringList{"esc.csv"});
        EXPECT_EQ(run.status, 1) << run.err;
        const std::vector<std::string> lines = run.lines();
        ASSERT_EQ(lines.size(), 3u) << run.out;
        const std::string note = lines[2].substr(lines[2].rfind(",\"") + 1);
        EXPECT_EQ(note, "\"X: \"\"18^[]0;owned^G\"\" is not a number\"");
    }
}

// However long the line, it is never held: a 200 MiB line between good ones.
TEST_F(HostileFiles, ALongLineKeepsMemoryBounded) {
    constexpr std::size_t kLong = std::size_t(200) << 20;
    constexpr long kBoundKiB = 100 * 1024;
    const struct {
        QStringList args;
        std::string message;
    } cases[] = {
        {{"convert", "--from", "xyz"}, "standard input: line 2 is longer than 1 MiB; skipped"},
        {{"convert", "--from", "xyz", "--columns", "1,2,3", "-"},
         "standard input: line 1 is longer than 1 MiB; skipped"},
        {{"batch", "lab", "-i", "-", "-o", path("out.txt")},
         "standard input: line 2 is longer than 1 MiB; skipped"},
    };
    for (const auto& c : cases) {
        const bool firstLong = c.message.find("line 1 ") != std::string::npos;
        const MeasuredRun run = runZulOnLongLine(c.args, firstLong ? "" : "18,20,22\n", kLong,
                                                 "\n30,31,32\n", path("stdout"), path("stderr"));
        const std::string err = read(path("stderr")).toStdString();
        EXPECT_EQ(run.status, 1) << err;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_LT(run.peakKiB, kBoundKiB) << c.args.join(' ').toStdString();
        EXPECT_GT(run.peakKiB, 0);
    }
}

// A table in the working folder still wins, but never silently.
TEST_F(HostileFiles, ATableBesideTheWorkingFolderIsNamed) {
    const ProgramRun shipped = zul({"convert", "--from", "munsell", "5R", "4", "10"});
    ASSERT_EQ(shipped.status, 0) << shipped.err;
    EXPECT_EQ(shipped.err.find("not the table the program ships"), std::string::npos);
    ASSERT_TRUE(QFile::copy(QString(ZUL_SOURCE_DIR) + "/data/Muncie.dat", path("Muncie.dat")));
    const ProgramRun local = zul({"convert", "--from", "munsell", "5R", "4", "10"});
    EXPECT_EQ(local.status, 0) << local.err;
    EXPECT_NE(local.err.find("Muncie.dat: using \"" + path("Muncie.dat").toStdString() +
                             "\", not the table the program ships"),
              std::string::npos)
        << local.err;
    EXPECT_EQ(local.out, shipped.out);
}

// Through the real program: a FIFO or a device in a data file's place ends at once with a
// message, and a table that cannot reach standard output is a failure.
TEST_F(HostileFiles, SpecialInputsAndAFullOutputFail) {
    const QString spectra =
        write("s.cgats",
              read(QString(ZUL_SOURCE_DIR) + "/tests/fuzz/corpus/spectral_file/two-5nm.cgats"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    const struct Case {
        const char* line; // $0 is the program
        const char* says;
        int status = 1;
    } cases[] = {
        {"\"$0\" spectral fifo", "\"fifo\" is not a regular file"},
        {"\"$0\" spectral /dev/zero", "\"/dev/zero\" is not a regular file"},
        {"\"$0\" spectral s.cgats > /dev/full", "standard output could not be written"},
        {"\"$0\" measure --instrument Import --file s.cgats > /dev/full",
         "standard output could not be written"},
        {"\"$0\" batch xyz --format cgats -i fifo --palette p.csv",
         "\"fifo\" is not a regular file", 3},
        {"\"$0\" batch xyz --format cgats -i /dev/zero --palette p.csv",
         "\"/dev/zero\" is not a regular file", 3},
        {"\"$0\" chart colorchecker --ccnames fifo --csv -", "\"fifo\" is not a regular file"},
        {"mkdir -p cfg/zul && mkfifo cfg/zul/ZUL.ini && XDG_CONFIG_HOME=$PWD/cfg \"$0\" "
         "--reset-settings",
         "ZUL.ini\" is not a regular file; the preferences were not forgotten"},
        {"mkfifo Muncie.dat; \"$0\" convert --from munsell '5R 5/2'; s=$?; rm Muncie.dat; exit $s",
         "Muncie.dat: not a regular file"},
        {"ln -s /dev/zero Muncie.dat; \"$0\" convert --from munsell '5R 5/2'; s=$?; rm Muncie.dat;"
         " exit $s",
         "Muncie.dat: not a regular file"},
    };
    for (const Case& c : cases) {
        const ProgramRun run =
            runProgram("/bin/sh", {"-c", c.line, zulProgram()}, {}, dir.path(), 10000);
        EXPECT_EQ(run.status, c.status) << c.line << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace zul::testing
