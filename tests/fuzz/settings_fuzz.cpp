// The settings file "zul.cfg" as any bytes. Properties: the port read is 1..4; settings that read
// are written so that they read back the same (a quote in the name becomes an apostrophe; byte
// order marks are not kept).
#include "fuzzcheck.h"

#include "instruments/settings.h"

#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul::instruments;
    std::istringstream in(std::string(zul::fuzz::asText(data, size)));
    const auto s = readSettings(in);
    if (!s) return 0;
    FUZZ_CHECK(s->port >= kFirstPort && s->port <= kLastPort);

    const QByteArray text = settingsText(*s);
    std::istringstream again(text.toStdString());
    const auto back = readSettings(again);
    FUZZ_CHECK(back.has_value());
    FUZZ_CHECK(back->port == s->port);
    QString expected = s->name;
    expected.replace(QLatin1Char('"'), QLatin1Char('\''));
    // The reader drops byte order marks wherever a line starts with one; a name made of them is
    // no instrument's.
    expected.remove(QChar(0xFEFF));
    if (QString(back->name).remove(QChar(0xFEFF)) != expected) {
        std::fprintf(stderr, "name \"%s\" read back as \"%s\"\n", qPrintable(expected),
                     qPrintable(back->name));
        FUZZ_CHECK(false);
    }
    return 0;
}
