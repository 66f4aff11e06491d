// The installed program: a temporary prefix from `cmake --install`, the Debian package from
// `cpack`, and the man page compared with `zul --help`.
#include "support/zulprocess.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace zul::testing {
namespace {

struct Ran {
    int status = -1; // -1: did not start or crashed
    QString out, err;
};

// Without a display, and without the data folder of the source tree in reach.
QProcessEnvironment cleanEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LOGGING_RULES"})
        env.remove(var);
    return env;
}

Ran run(const QString& program, const QStringList& args, const QString& workingDir = {}) {
    const ProgramRun r = runProgram(program, args, {}, workingDir, 180000);
    return {r.status, QString::fromStdString(r.out), QString::fromStdString(r.err)};
}

QString readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The text a reader of the man page sees: roff's escaped hyphens and backslashes as typed.
QString manText(QString roff) {
    return roff.replace("\\-", "-").replace("\\e", "\\");
}

// What the installed files must be, relative to the prefix.
const QStringList kInstalled = {
    "bin/zul",
    "share/zul/Muncie.dat",
    "share/zul/ccnames.csv",
    "share/zul/TestImage.jpg",
    "share/applications/zul.desktop",
    "share/icons/hicolor/scalable/apps/zul.svg",
    "share/man/man1/zul.1.gz",
    "share/doc/zul/manual.html",
    "share/doc/zul/manual.md",
    "share/doc/zul/pictures/window-main.png",
    "share/doc/zul/pictures/chart-hue.png",
};

TEST(Version, ComesFromTheProject) {
    const Ran r = run(ZUL_EXE, {"--version"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString("zul " ZUL_VERSION "\n"));
    // Named in the help as well.
    EXPECT_TRUE(run(ZUL_EXE, {"--help"}).out.contains("zul --version"));
}

TEST(ManPage, DescribesEveryCommandOfTheHelp) {
    const Ran help = run(ZUL_EXE, {"--help"});
    ASSERT_EQ(help.status, 0);
    const QString page = manText(readText(ZUL_MANPAGE));
    ASSERT_FALSE(page.isEmpty()) << "no man page at " ZUL_MANPAGE;
    EXPECT_TRUE(page.contains(QRegularExpression("^\\.TH ZUL 1 .*\"ZUL " ZUL_VERSION "\"",
                                                 QRegularExpression::MultilineOption)));
    EXPECT_FALSE(page.contains("@ZUL_")) << "a placeholder was left in";

    // Every command line of the help ("zul NAME ...") and the summary under it.
    const QStringList lines = help.out.split('\n');
    int commands = 0;
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const QString synopsis = lines[i].trimmed();
        if (!synopsis.startsWith("zul ") || synopsis.startsWith("zul -")) continue;
        ++commands;
        EXPECT_TRUE(page.contains(".B " + synopsis + "\n")) << synopsis.toStdString();
        const QString summary = lines[i + 1].trimmed();
        EXPECT_TRUE(page.contains("\n" + summary + "\n")) << summary.toStdString();
    }
    EXPECT_GE(commands, 1) << "no commands in zul --help:\n" << help.out.toStdString();
}

// A whole install into a temporary prefix, used from a folder without any data file.
class InstalledProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_prefix.isValid());
        const Ran r = run(ZUL_CMAKE, {"--install", ZUL_BUILD_DIR, "--prefix", m_prefix.path()});
        ASSERT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    }
    QString installed(const QString& relative) const { return m_prefix.filePath(relative); }

    // Starts the window offscreen in `/`; what start-up wrote about the renotation table, once
    // the window has been up for a second, or the error it gave.
    QString startWindow(bool* stillRunning) {
        QProcess p;
        QProcessEnvironment env = cleanEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("QT_LOGGING_RULES", "zul.startup.info=true");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory("/");
        p.setReadChannel(QProcess::StandardError);
        p.start(installed("bin/zul"), {});
        QString err;
        if (!p.waitForStarted()) return err;
        const QRegularExpression done("renotation table|cannot be loaded");
        while (!err.contains(done) && p.state() == QProcess::Running) {
            p.waitForReadyRead(60000);
            err += QString::fromUtf8(p.readAllStandardError());
        }
        *stillRunning = !p.waitForFinished(1000);
        p.kill();
        p.waitForFinished();
        return err + QString::fromUtf8(p.readAllStandardError());
    }

    QTemporaryDir m_prefix;
};

TEST_F(InstalledProgram, HasEveryFile) {
    for (const QString& file : kInstalled)
        EXPECT_TRUE(QFileInfo(installed(file)).isFile()) << file.toStdString();
    EXPECT_TRUE(QFileInfo(installed("bin/zul")).isExecutable());
    if (ZUL_HAS_INSTSIM) {
        EXPECT_TRUE(QFileInfo(installed("bin/zul-instsim")).isExecutable());
    }
}

TEST_F(InstalledProgram, ConvertsFromAnyFolderAsTheBuiltProgram) {
    const QStringList args = {"convert", "--from", "munsell", "--", "5R", "4", "14"};
    const Ran built = run(ZUL_EXE, args);
    ASSERT_EQ(built.status, 0) << built.err.toStdString();
    ASSERT_FALSE(QFileInfo::exists("/Muncie.dat"));
    const Ran inst = run(installed("bin/zul"), args, "/");
    EXPECT_EQ(inst.status, 0) << inst.err.toStdString();
    EXPECT_EQ(inst.out, built.out);
    EXPECT_TRUE(inst.out.startsWith("hue,value,chroma,")) << inst.out.toStdString();
}

TEST_F(InstalledProgram, WindowStartsFromAnyFolderWithTheInstalledTable) {
    bool running = false;
    const QString err = startWindow(&running);
    EXPECT_TRUE(
        err.contains("renotation table " + QDir::cleanPath(installed("share/zul/Muncie.dat"))))
        << err.toStdString();
    // "User manual" shows the installed HTML.
    EXPECT_TRUE(
        err.contains("user manual " + QDir::cleanPath(installed("share/doc/zul/manual.html"))))
        << err.toStdString();
    EXPECT_TRUE(running) << "the window did not stay up";

    // Without the installed table the same start fails, and says so.
    ASSERT_TRUE(QFile::remove(installed("share/zul/Muncie.dat")));
    const QString failed = startWindow(&running);
    EXPECT_TRUE(failed.contains("cannot be loaded")) << failed.toStdString();
    EXPECT_FALSE(failed.contains("renotation table /"));
}

// The Debian package, built from the build folder into a temporary folder.
TEST(DebianPackage, HoldsTheProgramAndItsFilesWithComputedDependencies) {
    if (QStandardPaths::findExecutable("dpkg-deb").isEmpty()) GTEST_SKIP() << "no dpkg-deb";
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    const Ran pack = run(
        ZUL_CPACK, {"--config", QString(ZUL_BUILD_DIR) + "/CPackConfig.cmake", "-B", out.path()},
        ZUL_BUILD_DIR);
    ASSERT_EQ(pack.status, 0) << pack.out.toStdString() << pack.err.toStdString();
    const QString arch = run("dpkg", {"--print-architecture"}).out.trimmed();
    const QString deb = out.filePath("zul_" ZUL_VERSION "_" + arch + ".deb");
    ASSERT_TRUE(QFileInfo::exists(deb)) << QDir(out.path()).entryList().join(' ').toStdString();

    const QString listing = run("dpkg-deb", {"-c", deb}).out;
    for (const QString& file : kInstalled)
        EXPECT_TRUE(listing.contains(" ./usr/" + file + "\n")) << file.toStdString();
    if (ZUL_HAS_INSTSIM) {
        EXPECT_TRUE(listing.contains(" ./usr/bin/zul-instsim\n"));
    }

    EXPECT_EQ(run("dpkg-deb", {"-f", deb, "Package"}).out.trimmed(), "zul");
    EXPECT_EQ(run("dpkg-deb", {"-f", deb, "Version"}).out.trimmed(), ZUL_VERSION);
    const QString depends = run("dpkg-deb", {"-f", deb, "Depends"}).out;
    for (const char* lib : {"libqt6core6", "libqt6gui6", "libqt6widgets6"})
        EXPECT_TRUE(depends.contains(lib)) << lib << " not in: " << depends.toStdString();

    const QString root = out.filePath("root");
    ASSERT_EQ(run("dpkg-deb", {"-x", deb, root}).status, 0);
    const Ran valid = run("desktop-file-validate", {root + "/usr/share/applications/zul.desktop"});
    EXPECT_EQ(valid.status, 0) << valid.out.toStdString() << valid.err.toStdString();
    EXPECT_FALSE(valid.out.contains("error:")) << valid.out.toStdString();
    const Ran man = run("gzip", {"-dc", root + "/usr/share/man/man1/zul.1.gz"});
    EXPECT_EQ(man.out, readText(ZUL_MANPAGE));
    EXPECT_EQ(run(root + "/usr/bin/zul", {"--version"}).out, QString("zul " ZUL_VERSION "\n"));
}

// The packaged program carries the hardening of the release build: a position-independent
// executable, read-only relocations bound at start, the stack protector and fortified calls.
TEST(DebianPackage, ProgramIsHardened) {
    if (!ZUL_HARDENED) GTEST_SKIP() << "built without ZUL_HARDEN";
    for (const char* tool : {"dpkg-deb", "readelf", "nm"})
        if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << "no " << tool;
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    ASSERT_EQ(run(ZUL_CPACK,
                  {"--config", QString(ZUL_BUILD_DIR) + "/CPackConfig.cmake", "-B", out.path()},
                  ZUL_BUILD_DIR)
                  .status,
              0);
    const QString arch = run("dpkg", {"--print-architecture"}).out.trimmed();
    const QString root = out.filePath("root");
    ASSERT_EQ(
        run("dpkg-deb", {"-x", out.filePath("zul_" ZUL_VERSION "_" + arch + ".deb"), root}).status,
        0);
    const QString zul = root + "/usr/bin/zul";
    EXPECT_TRUE(run("readelf", {"-h", zul}).out.contains(QRegularExpression("Type:\\s+DYN")));
    const QString segments = run("readelf", {"-lW", zul}).out;
    EXPECT_TRUE(segments.contains("GNU_RELRO")) << "no RELRO";
    const QString dynamic = run("readelf", {"-dW", zul}).out;
    EXPECT_TRUE(dynamic.contains("BIND_NOW")) << "not bound at start";
    EXPECT_TRUE(dynamic.contains(QRegularExpression("FLAGS_1.*PIE"))) << "not PIE";
    const QString symbols = run("nm", {"-D", zul}).out;
    EXPECT_TRUE(symbols.contains("__stack_chk_fail")) << "no stack protector";
    EXPECT_TRUE(symbols.contains(QRegularExpression("__\\w+_chk@"))) << "no fortified call";
}

} // namespace
} // namespace zul::testing
