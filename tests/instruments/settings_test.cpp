// The settings file: reading free-format fields, the one port clamp, the atomic write.
#include "instruments/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace zul::instruments {
namespace {

std::optional<InstrumentSettings> read(const std::string& text) {
    std::istringstream in(text);
    return readSettings(in);
}

TEST(Settings, PortClamp) {
    EXPECT_EQ(clampPort("4"), 4);
    EXPECT_EQ(clampPort(" 3 "), 3);
    for (const char* one : {"0", "5", "-3", "", "x", "2x", "nan", "99999999"})
        EXPECT_EQ(clampPort(one), 1) << one;
    EXPECT_EQ(clampPort("2.5"), 2); // ties to even
    EXPECT_EQ(clampPort("3.5"), 4);
    EXPECT_EQ(clampPort("4.5"), 4);
    EXPECT_EQ(clampPort("4.6"), 1);
}

TEST(Settings, ReadsNamesPlainOrQuotedAndAnyLineEnd) {
    EXPECT_EQ(*read("CE2180\r\n 3 \r\n"), (InstrumentSettings{"CE2180", 3}));
    EXPECT_EQ(*read("\"Ci5/Ci7\"\n2\n"), (InstrumentSettings{"Ci5/Ci7", 2}));
    EXPECT_EQ(*read("\xEF\xBB\xBFSpectrolino\r 3 \r"), (InstrumentSettings{"Spectrolino", 3}));
    EXPECT_EQ(*read("XTH\n 9 \n"), (InstrumentSettings{"XTH", 1}));
    EXPECT_FALSE(read(""));
    EXPECT_FALSE(read("CE7000\r\n"));
    EXPECT_FALSE(read("CE7000\r\nthree\r\n"));
}

TEST(Settings, WritesAtomicallyAndReadsBack) {
    QTemporaryDir dir;
    QString error;
    const InstrumentSettings odd{"My, \"odd\" one", 4};
    ASSERT_TRUE(writeSettingsFile(dir.path(), {"CE2180", 3}, error));
    QFile f(QDir(dir.path()).filePath("zul.cfg"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("CE2180\r\n 3 \r\n"));
    f.close();
    ASSERT_TRUE(writeSettingsFile(dir.path(), odd, error));
    EXPECT_EQ(readSettingsFile(dir.path())->name.toStdString(), "My, 'odd' one");
    // No instrument chosen yet: the empty name is kept, and so is the port after it.
    ASSERT_TRUE(writeSettingsFile(dir.path(), {"", 2}, error));
    EXPECT_EQ(readSettingsFile(dir.path()), (InstrumentSettings{"", 2}));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"zul.cfg"});
}

TEST(Settings, LoneUpperCaseFileIsRead) {
    QTemporaryDir dir;
    QFile f(QDir(dir.path()).filePath("ZUL.cfg"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Spectrolino\r\n 3 \r\n");
    f.close();
    EXPECT_EQ(*readSettingsFile(dir.path()), (InstrumentSettings{"Spectrolino", 3}));
    EXPECT_FALSE(readSettingsFile(dir.path() + "/none"));
}

TEST(Settings, UnwritableFolderFailsWithReason) {
    QString error;
    EXPECT_FALSE(writeSettingsFile("/proc/no-such-folder", {"CE7000", 1}, error));
    EXPECT_TRUE(error.contains("zul.cfg"));
}

} // namespace
} // namespace zul::instruments
