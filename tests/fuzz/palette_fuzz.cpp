// Palette line writing with any tag and field texts (typed by the user, read from a picture's
// name or a batch input): the line is one record of 22 items that the readers split back into
// the texts written.
#include "fuzzcheck.h"

#include "records/csvline.h"
#include "workbench/palette.h"

#include <QDateTime>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zul;
    // Items separated by 0x01 bytes: tag, then up to 16 field texts; then 12 bytes of linear
    // values if that many remain after the last separator.
    std::string_view text = fuzz::asText(data, size);
    std::vector<QString> items;
    while (items.size() < 17) {
        const auto [item, rest] = fuzz::cut(text, '\x01');
        items.push_back(QString::fromUtf8(item.data(), static_cast<qsizetype>(item.size())));
        // The same item written from its bytes, as the batch and picture palettes write fields.
        std::string fromBytes = "x";
        appendPaletteItem(fromBytes, item);
        FUZZ_CHECK(fromBytes == "x,\"" + paletteSafeText(items.back()).toStdString() + "\"");
        if (rest.data() == nullptr) break;
        text = rest;
    }
    PaletteRecord record;
    record.when = QDateTime(QDate(2026, 12, 7), QTime(10, 45, 3));
    record.tag = items[0];
    for (std::size_t i = 1; i < 17; ++i) {
        const QString f = i < items.size() ? items[i] : QString::number(i);
        (i <= 9 ? record.fields : record.rgbCmyk) << f;
    }
    // Linear values come from RGB clamped to 0..255: always finite.
    if (text.size() >= 12) std::memcpy(record.linear.data(), text.data() + text.size() - 12, 12);
    for (float& v : record.linear)
        if (!std::isfinite(v)) v = 0.5f;

    const QByteArray line = paletteLine(record);
    FUZZ_CHECK(line.endsWith("\r\n"));
    const std::string_view body(line.constData(), static_cast<std::size_t>(line.size()) - 2);
    FUZZ_CHECK(body.find_first_of("\r\n") == std::string_view::npos);

    std::vector<std::string> fields;
    splitCsvLine(body, fields);
    FUZZ_CHECK(fields.size() == 22);
    FUZZ_CHECK(fields[0] == "12-07-2026" && fields[1] == "10:45:03");
    FUZZ_CHECK(fields[2] == paletteSafeText(record.tag).toStdString());
    for (int i = 0; i < 9; ++i)
        FUZZ_CHECK(fields[3 + i] == paletteSafeText(record.fields[i]).toStdString());
    for (int i = 0; i < 7; ++i)
        FUZZ_CHECK(fields[15 + i] == paletteSafeText(record.rgbCmyk[i]).toStdString());
    return 0;
}
