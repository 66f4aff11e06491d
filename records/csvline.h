#pragma once
// CSV lines as the program's text files hold them: the reading rules of the delimited-field
// reader, plus doubled quotes inside a quoted field, so that what is written is read back the
// same. Split by hand because a stream per line would cost more than converting the colour.
#include "text/blanks.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace zul {

// Splits one line into fields: a field ends at a comma; blanks and tabs around it are dropped; a
// field in double quotes may hold commas and doubled quotes ("" for "), and anything after its
// closing quote up to the next comma is ignored. A line of blanks holds no field. Reuses the
// strings already in `fields`.
// Another `delimiter` (';') takes the place of the comma.
void splitCsvLine(std::string_view line, std::vector<std::string>& fields, char delimiter = ',');

// The next field of `line` from `pos`, split as splitCsvLine splits, without a copy: a view of
// the line itself, or of `unquoted` where doubled quotes inside a quoted field had to be undone
// (valid until `unquoted` changes). False when no field is left; `pos` then stands after the
// field's delimiter, or at npos when the field ended the line. Start with `pos` 0.
// Inline: the palette and batch readers call it for every field of every line.
inline bool nextCsvField(std::string_view line, std::size_t& pos, std::string_view& field,
                         std::string& unquoted, char delimiter = ',');

// A field's number text as the number readers take it: with the ';' delimiter a comma in a field
// is a decimal comma ("1,5" is 1.5).
std::string decimalPointText(std::string_view field, char delimiter);
// Appends a field, in double quotes (quotes doubled) only when it holds a comma, a quote or a
// line break.
void appendCsvField(std::string& out, std::string_view text, char delimiter = ',');
void appendCsvField(std::string& out, const QString& text, char delimiter = ',');
// One CSV line put together on the stack and appended to a string in one piece, when done or
// full: short plain fields, nearly every field of a line, are copied while they are checked,
// without a call or a copy of their own.
class CsvLineBuffer {
public:
    explicit CsvLineBuffer(std::string& out, char delimiter = ',')
        : m_out(out), m_delimiter(delimiter) {}
    CsvLineBuffer(const CsvLineBuffer&) = delete;
    CsvLineBuffer& operator=(const CsvLineBuffer&) = delete;
    ~CsvLineBuffer() { flush(); }

    // A field as appendCsvField writes it with this line's delimiter.
    void field(std::string_view text);
    void put(char c) {
        if (m_size == sizeof m_data) flush();
        m_data[m_size++] = c;
    }
    void put(std::string_view text);
    // The string, everything put so far appended: for writers of their own.
    std::string& out() {
        flush();
        return m_out;
    }

private:
    void flush() {
        m_out.append(m_data, m_size);
        m_size = 0;
    }

    std::string& m_out;
    char m_delimiter;
    std::size_t m_size = 0;
    char m_data[256];
};

// A number followed by a hue family ("5R", "6.4 yr", "10RP").
bool isHueNotation(std::string_view text);
// A field that holds a colour's data: a number (a decimal comma with the ';' delimiter), a hue
// ("5R") or a whole notation in one field ("5R 4/14", "N 5.2/").
bool isDataField(std::string_view field, char delimiter = ',');
// The first line of a file is a header when its first field holds no colour's data.
bool isHeaderLine(std::string_view line, char delimiter = ',');

inline bool nextCsvField(std::string_view line, std::size_t& pos, std::string_view& field,
                         std::string& unquoted, char delimiter) {
    // Plain loops, not find(): fields are a few characters long, shorter than a library call
    // pays for.
    field = {};
    const std::size_t n = line.size();
    if (pos > n) return false; // npos: the last field was taken
    if (pos == 0 && trimBlanks(line).empty()) return false;
    const char* const s = line.data();
    while (pos < n && isBlank(s[pos]))
        ++pos;
    std::size_t i = pos;
    if (pos < n && s[pos] == '"') {
        const std::size_t start = pos + 1;
        i = start;
        while (i < n && s[i] != '"')
            ++i;
        if (i + 1 < n && s[i + 1] == '"') {
            // Doubled quotes: the field is built up run by run.
            unquoted.assign(s + start, i - start);
            for (;;) {
                unquoted += '"';
                const std::size_t from = i + 2;
                i = from;
                while (i < n && s[i] != '"')
                    ++i;
                unquoted.append(s + from, i - from);
                if (!(i + 1 < n && s[i + 1] == '"')) break;
            }
            field = unquoted;
        } else {
            field = std::string_view(s + start, i - start); // an unclosed quote runs to the end
        }
        if (i < n) ++i; // the closing quote; what follows it up to the delimiter is ignored
        while (i < n && s[i] != delimiter)
            ++i;
    } else {
        while (i < n && s[i] != delimiter)
            ++i;
        std::size_t last = i;
        while (last > pos && isBlank(s[last - 1]))
            --last;
        field = std::string_view(s + pos, last - pos);
    }
    pos = i < n ? i + 1 : std::string_view::npos;
    return true;
}

} // namespace zul
