#include "records/csvline.h"

#include "munsell/hue.h"
#include "munsell/notation.h"
#include "text/blanks.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace zul {

void splitCsvLine(std::string_view line, std::vector<std::string>& fields, char delimiter) {
    std::size_t count = 0, pos = 0;
    std::string_view field;
    std::string unquoted;
    while (nextCsvField(line, pos, field, unquoted, delimiter)) {
        if (count == fields.size()) fields.emplace_back();
        fields[count++].assign(field.data(), field.size());
    }
    fields.resize(count);
}

std::string decimalPointText(std::string_view field, char delimiter) {
    std::string text(field);
    if (delimiter == ';') std::replace(text.begin(), text.end(), ',', '.');
    return text;
}

void appendCsvField(std::string& out, std::string_view text, char delimiter) {
    // One pass over the text: find_first_of would look each character up in the set.
    const bool plain = std::none_of(text.begin(), text.end(), [delimiter](char c) {
        return c == delimiter || c == '"' || c == '\r' || c == '\n';
    });
    if (plain) {
        out.append(text);
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void appendCsvField(std::string& out, const QString& text, char delimiter) {
    // Field texts are short and plain: narrowed and checked in one pass, appended in one piece.
    const QChar* p = text.constData();
    const auto n = static_cast<std::size_t>(text.size());
    std::array<char, 64> buffer;
    bool plain = n <= buffer.size();
    for (std::size_t i = 0; i < n && plain; ++i) {
        const char16_t c = p[i].unicode();
        plain = c < 0x80 && c != static_cast<unsigned char>(delimiter) && c != '"' && c != '\r' &&
                c != '\n';
        buffer[i] = static_cast<char>(c);
    }
    if (plain) {
        out.append(buffer.data(), n);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    appendCsvField(out, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                   delimiter);
}

void CsvLineBuffer::field(std::string_view text) {
    if (text.size() <= sizeof m_data - m_size) {
        char* to = m_data + m_size;
        bool plain = true;
        for (char c : text) {
            plain = plain && c != m_delimiter && c != '"' && c != '\r' && c != '\n';
            *to++ = c;
        }
        if (plain) {
            m_size += text.size();
            return;
        }
    }
    appendCsvField(out(), text, m_delimiter);
}

void CsvLineBuffer::put(std::string_view text) {
    if (text.size() > sizeof m_data - m_size) {
        out().append(text);
        return;
    }
    std::copy(text.begin(), text.end(), m_data + m_size);
    m_size += text.size();
}

bool isHueNotation(std::string_view text) {
    text = trimBlanks(text);
    std::size_t end = text.size();
    while (end > 0 && std::isalpha(static_cast<unsigned char>(text[end - 1])))
        --end;
    std::string family(text.substr(end));
    for (char& c : family)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    bool known = false;
    for (std::string_view f : kHueFamilies)
        known = known || (!f.empty() && family == f);
    const std::string_view number = trimBlanks(text.substr(0, end));
    return known && !number.empty() && isNumber(number);
}

bool isDataField(std::string_view field, char delimiter) {
    return isNumber(decimalPointText(field, delimiter)) || isHueNotation(field) ||
           splitMunsellNotation(field).has_value();
}

bool isHeaderLine(std::string_view line, char delimiter) {
    std::size_t pos = 0;
    std::string_view first;
    std::string unquoted;
    if (!nextCsvField(line, pos, first, unquoted, delimiter)) return false;
    return !isDataField(first, delimiter);
}

} // namespace zul
