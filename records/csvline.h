#pragma once
// CSV lines as the program's text files hold them: the reading rules of the delimited-field
// reader, plus doubled quotes inside a quoted field, so that what is written is read back the
// same. Split by hand because a stream per line would cost more than converting the colour.
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
// The first line of a file is a header when its first field is neither a number nor a hue
// notation (alone or with value and chroma, "5R 4/14").
bool isHeaderLine(std::string_view line);

} // namespace zul
