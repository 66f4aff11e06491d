// The user manual against the program it describes: every picture it names exists, every
// command of its `sh` blocks runs with the exit status it documents and writes the output shown
// under it, and every message of its troubleshooting table is a text the program contains.
#include "support/zulprocess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <vector>

namespace zul::testing {
namespace {

const QString kDocs = QStringLiteral(ZUL_SOURCE_DIR "/docs");

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A fenced block of the manual: its info string ("sh", "text output", ...) and its lines.
struct Block {
    QString info;
    QStringList lines;
    int line = 0; // where it starts, counted from 1
};

struct Manual {
    QStringList lines;
    std::vector<Block> blocks;
};

Manual readManual(const QString& text) {
    Manual m;
    m.lines = text.split('\n');
    Block* open = nullptr;
    for (int i = 0; i < m.lines.size(); ++i) {
        const QString& line = m.lines[i];
        if (line.startsWith("```")) {
            if (open) {
                open = nullptr;
            } else {
                m.blocks.push_back({line.mid(3).trimmed(), {}, i + 1});
                open = &m.blocks.back();
            }
        } else if (open) {
            open->lines.push_back(line);
        }
    }
    return m;
}

const Manual& manual() {
    static const Manual m = readManual(QString::fromUtf8(readBytes(kDocs + "/manual.md")));
    return m;
}

// A command of an `sh` block: continued lines joined, and the status its comment documents
// ("(exit status 2)"), else 0.
struct Command {
    QString text;
    int status = 0;
};

std::vector<Command> commandsOf(const Block& b) {
    std::vector<Command> commands;
    QString pending;
    for (const QString& line : b.lines) {
        if (line.endsWith('\\')) {
            pending += line.chopped(1) + ' ';
            continue;
        }
        const QString text = (pending + line).trimmed();
        pending.clear();
        if (text.isEmpty() || text.startsWith('#')) continue;
        Command c{text, 0};
        static const QRegularExpression documented("#.*\\(exit status (\\d+)\\)");
        if (const auto m = documented.match(text); m.hasMatch()) c.status = m.captured(1).toInt();
        commands.push_back(c);
    }
    return commands;
}

TEST(Manual, ReadsAsExpected) {
    const Manual& m = manual();
    ASSERT_GT(m.lines.size(), 100) << "no manual at " << kDocs.toStdString();
    int sh = 0;
    for (const Block& b : m.blocks)
        sh += b.info == "sh";
    EXPECT_GE(sh, 10);
    for (const char* heading : {"## Getting started", "## The command line", "## Troubleshooting",
                                "## Files and formats"})
        EXPECT_TRUE(m.lines.contains(heading)) << heading;
}

TEST(Manual, EveryPictureItNamesExistsAndEveryPictureIsNamed) {
    static const QRegularExpression picture("!\\[[^\\]]*\\]\\(([^)]+)\\)");
    QStringList named;
    for (const QString& line : manual().lines)
        for (const auto& m : picture.globalMatch(line))
            named << m.captured(1);
    ASSERT_GE(named.size(), 10);
    for (const QString& file : named) {
        EXPECT_TRUE(file.startsWith("pictures/")) << file.toStdString();
        const QByteArray bytes = readBytes(kDocs + "/" + file);
        EXPECT_TRUE(bytes.startsWith("\x89PNG\r\n\x1a\n")) << file.toStdString() << ": no PNG";
    }
    // Nothing drawn for nobody.
    for (const QString& file : QDir(kDocs + "/pictures").entryList({"*.png"}, QDir::Files))
        EXPECT_TRUE(named.contains("pictures/" + file)) << file.toStdString() << " is not shown";
}

// A reader's shell without a display, settings of its own in `home`, the built programs first.
QProcessEnvironment readerEnvironment(const QTemporaryDir& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_LOGGING_RULES"})
        env.remove(var);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("LC_ALL", "C.UTF-8");
    env.insert("PATH",
               QFileInfo(ZUL_EXE).absolutePath() + ':' + ZUL_TOOLS_DIR + ':' + env.value("PATH"));
    return env;
}

// The `sh` blocks run in order in one scratch folder holding a copy of the test picture, as a
// reader would type them with the built programs first in the PATH; the output of a block
// followed by a `text output` block is that block's text. When the program's output changes on
// purpose, ZUL_UPDATE_MANUAL=1 writes what it now prints into manual.md instead.
TEST(Manual, EveryCommandRunsWithItsDocumentedStatusAndOutput) {
    ensureApplication();
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    ASSERT_TRUE(
        QFile::copy(ZUL_SOURCE_DIR "/data/TestImage.jpg", scratch.filePath("TestImage.jpg")));
    const QProcessEnvironment env = readerEnvironment(scratch);

    const std::vector<Block>& blocks = manual().blocks;
    std::vector<std::pair<const Block*, QString>> printedOutputs;
    int run = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (blocks[i].info != "sh") continue;
        QByteArray out;
        for (const Command& c : commandsOf(blocks[i])) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.setWorkingDirectory(scratch.path());
            p.start("sh", {"-c", c.text});
            p.closeWriteChannel();
            ASSERT_TRUE(p.waitForFinished(120000)) << c.text.toStdString();
            const QByteArray printed = p.readAllStandardOutput();
            out += QByteArray(printed).replace("\r\n", "\n"); // files written with CR LF
            EXPECT_EQ(p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, c.status)
                << "manual.md:" << blocks[i].line << ": " << c.text.toStdString() << "\n"
                << printed.toStdString() << p.readAllStandardError().toStdString();
            ++run;
        }
        if (i + 1 < blocks.size() && blocks[i + 1].info == "text output") {
            const Block& shown = blocks[i + 1];
            const QString printed = QString::fromUtf8(out);
            printedOutputs.emplace_back(&shown, printed);
            if (qEnvironmentVariableIsSet("ZUL_UPDATE_MANUAL")) continue;
            EXPECT_EQ(printed.toStdString(), (shown.lines.join('\n') + '\n').toStdString())
                << "manual.md:" << shown.line << ": the output shown is not the output";
        }
    }
    EXPECT_GE(run, 20);
    if (qEnvironmentVariableIsSet("ZUL_UPDATE_MANUAL")) {
        // From the last block up, so that the earlier blocks' line numbers still hold.
        QStringList updated = manual().lines;
        for (auto it = printedOutputs.rbegin(); it != printedOutputs.rend(); ++it) {
            const auto& [block, printed] = *it;
            updated.remove(block->line, block->lines.size());
            const QStringList lines = printed.chopped(printed.endsWith('\n') ? 1 : 0).split('\n');
            for (qsizetype k = 0; k < lines.size(); ++k)
                updated.insert(block->line + k, lines[k]);
        }
        QFile f(kDocs + "/manual.md");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(updated.join('\n').toUtf8());
    }
}

// The program's texts are in its one executable: UTF-8 for narrow literals, UTF-16 for
// QStringLiteral.
bool programContains(const QByteArray& program, const QString& text) {
    if (program.contains(text.toUtf8())) return true;
    const QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return program.contains(utf16);
}

// Table rows of the troubleshooting section: | "message" | meaning | what to do |; "…" stands
// for what changes from case to case (a file name, a number).
TEST(Manual, EveryTroubleshootingMessageIsATextOfTheProgram) {
    const QByteArray program = readBytes(ZUL_EXE);
    ASSERT_FALSE(program.isEmpty());
    static const QRegularExpression row("^\\| \"(.+?)\" \\|");
    bool inSection = false;
    int messages = 0;
    for (const QString& line : manual().lines) {
        if (line.startsWith("## ")) inSection = line == "## Troubleshooting";
        if (!inSection) continue;
        const auto m = row.match(line);
        if (!m.hasMatch()) continue;
        ++messages;
        for (QString part : m.captured(1).split(QChar(0x2026), Qt::SkipEmptyParts))
            EXPECT_TRUE(programContains(program, part.replace("\\|", "|")))
                << "\"" << part.toStdString() << "\" is no text of the program";
    }
    EXPECT_GE(messages, 20);
}

TEST(Manual, CommandReaderJoinsLinesAndTakesTheDocumentedStatus) {
    const Block b{"sh",
                  {"zul convert --from munsell 5R 4 99   # too strong (exit status 1)",
                   "zul chart hue 5R \\", "    --png hue.png", "# a comment", ""},
                  1};
    const std::vector<Command> c = commandsOf(b);
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0].status, 1);
    EXPECT_EQ(c[1].text, "zul chart hue 5R      --png hue.png");
    EXPECT_EQ(c[1].status, 0);
}

// The pictures of the windows: `zul --screenshot FILE --screenshot-size WxH` draws the window
// asked for at that size and ends; a size that is no size or a file that cannot be written
// fails.
TEST(Screenshot, DrawsTheWindowAskedForAtTheSizeAsked) {
    ensureApplication();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    struct Case {
        QStringList args;
        int status;
        int width, height; // 0: no picture
    };
    const QString png = home.filePath("shot.png");
    const Case cases[] = {
        {{"--screenshot", png, "--screenshot-size", "700x500"}, 0, 700, 500},
        {{"--open", "hue", "--screenshot=" + png, "--screenshot-size=640x480"}, 0, 640, 480},
        {{"--manual", "--screenshot", png, "--screenshot-size", "500x400"}, 0, 500, 400},
        {{"--screenshot", png, "--screenshot-size", "700"}, 2, 0, 0},
        {{"--screenshot", png, "--screenshot-size", "0x400"}, 2, 0, 0},
        {{"--screenshot", home.filePath("no/such/folder/shot.png")}, 1, 0, 0},
    };
    for (const Case& c : cases) {
        QFile::remove(png);
        QProcess p;
        p.setProcessEnvironment(readerEnvironment(home));
        p.setWorkingDirectory(home.path());
        p.start(ZUL_EXE, c.args);
        const std::string what = c.args.join(' ').toStdString();
        ASSERT_TRUE(p.waitForFinished(60000)) << what;
        EXPECT_EQ(p.exitCode(), c.status) << what << p.readAllStandardError().toStdString();
        const QByteArray bytes = readBytes(png);
        if (c.width == 0) {
            EXPECT_TRUE(bytes.isEmpty()) << what;
            continue;
        }
        ASSERT_TRUE(bytes.startsWith("\x89PNG\r\n\x1a\n")) << what;
        // The header chunk: width and height, big-endian, from byte 16.
        auto be32 = [&](int at) {
            return int((uchar(bytes[at]) << 24) | (uchar(bytes[at + 1]) << 16) |
                       (uchar(bytes[at + 2]) << 8) | uchar(bytes[at + 3]));
        };
        EXPECT_EQ(be32(16), c.width) << what;
        EXPECT_EQ(be32(20), c.height) << what;
    }
}

} // namespace
} // namespace zul::testing
