#include "instruments/parsers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace zul::instruments {

bool statusCalibrated(const QByteArray& reply) {
    return reply.startsWith("11");
}

namespace {

// A refused reply carries its error and no values, not the slots read before the bad one.
SpectrumReading refused(QString why) {
    SpectrumReading r;
    r.error = std::move(why);
    return r;
}

// Reads `width` characters at 0-based `at` for each slot; `start(slot)` gives the position.
template <typename Start>
SpectrumReading fixedFields(const QByteArray& bytes, int width, Start start) {
    SpectrumReading r;
    const std::string_view all(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    for (int slot = 1; slot <= kSpectralPoints; ++slot) {
        const std::size_t at = static_cast<std::size_t>(start(slot));
        if (at + static_cast<std::size_t>(width) > all.size()) {
            return refused(QStringLiteral("slot %1 (%2 nm): the reply ends after %3 characters")
                               .arg(slot)
                               .arg(350 + 10 * slot)
                               .arg(all.size()));
        }
        const std::string_view field = all.substr(at, static_cast<std::size_t>(width));
        const auto v = plainDecimal(field);
        if (!v) {
            return refused(badSlot(slot, field));
        }
        r.values[static_cast<std::size_t>(slot - 1)] = *v;
    }
    r.ok = true;
    return r;
}

} // namespace

SpectrumReading parseCe7000Reply(const QByteArray& reply) {
    return fixedFields(reply, 7, [](int i) { return 10 * i + 10; });
}

SpectrumReading parseCe2180Data(const QByteArray& data) {
    return fixedFields(data, 6, [](int i) { return 7 * i + (i - 1) / 6 - 7; });
}

SpectrumReading parseCiReply(const QByteArray& reply) {
    SpectrumReading r;
    const std::string_view all(reply.constData(), static_cast<std::size_t>(reply.size()));
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t from = 0;
    for (int slot = 1; slot <= kSpectralPoints; ++slot) {
        const std::size_t point = all.find('.', from);
        if (point == std::string_view::npos) {
            return refused(QStringLiteral("only %1 values where 40 are needed").arg(slot - 1));
        }
        from = point + 1;
        const std::size_t windowStart = point >= 3 ? point - 3 : 0;
        const std::size_t windowEnd = std::min(all.size(), point + 4); // one past
        std::size_t begin = point, end = point + 1;
        while (begin > windowStart && digit(all[begin - 1]))
            --begin;
        if (begin > windowStart && all[begin - 1] == '-') --begin;
        while (end < windowEnd && digit(all[end]))
            ++end;
        const std::string_view number = all.substr(begin, end - begin);
        const auto v = plainDecimal(number);
        if (!v) {
            return refused(badSlot(slot, all.substr(windowStart, windowEnd - windowStart)));
        }
        r.values[static_cast<std::size_t>(slot - 1)] = *v;
    }
    r.ok = true;
    return r;
}

SpectrumReading parseSpectrolinoReply(const QByteArray& reply) {
    SpectrumReading r;
    const std::string_view all(reply.constData(), static_cast<std::size_t>(reply.size()));
    for (int i = 1; i <= kSpectrolinoFields; ++i) {
        const int slot = i + 2;
        const std::size_t at = static_cast<std::size_t>(7 * i + 3);
        if (at + 6 > all.size()) {
            return refused(QStringLiteral("slot %1 (%2 nm): the reply ends after %3 characters")
                               .arg(slot)
                               .arg(350 + 10 * slot)
                               .arg(all.size()));
        }
        const std::string_view field = all.substr(at, 6);
        const auto v = plainDecimal(field);
        if (!v) {
            return refused(badSlot(slot, field));
        }
        r.values[static_cast<std::size_t>(slot - 1)] = *v * 100.0f;
    }
    r.ok = true;
    return r;
}

SpectrumReading parseXthReply(const QByteArray& reply) {
    return fixedFields(reply, 6, [](int i) { return 8 * i + 10; });
}

} // namespace zul::instruments
