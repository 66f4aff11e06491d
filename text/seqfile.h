#pragma once
// Sequential text files: delimited-field reading, quoted writing and line writing.
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zul {

// Reads delimited fields one at a time: a field ends at a comma or a line end (LF, CR LF or CR);
// blanks and tabs around it are dropped; a field in double quotes may hold commas (the quotes are
// removed, the text between them is kept as it stands, and anything after the closing quote up to
// the next comma or line end is ignored; an unclosed quote runs to the line end). A line that
// holds nothing but blanks and tabs carries no field and is passed over.
class FieldReader {
public:
    explicit FieldReader(std::istream& in);
    // The next field's text, or nullopt at end of input.
    std::optional<std::string> next();
    // Next field read as a number: strict reading of the field text (ConversionError if it is
    // not a number; DataFileError at end of input). `what` names the item in messages.
    double nextNumber(const std::string& what = {});
    // True when no field is left (only blank lines, if anything, remain).
    bool atEnd();
    // The rest of the current line, without its line break, as it stands (blanks kept); the next
    // field then comes from the following line. After a field that ended its line, that line is
    // already finished and "" is returned without reading on; otherwise (at the start, or after
    // restOfLine) the whole next line is returned. At end of input returns "".
    std::string restOfLine();
    // 1-based line number of the last field returned.
    int line() const { return m_line; }

private:
    bool loadLine();

    std::istream& m_in;
    int m_line = 0;
    int m_nextLine = 1;
    std::string m_buffer;     // the current line
    std::size_t m_pos = 0;    // where the next field of the current line starts
    int m_bufferLine = 0;     // line number of m_buffer
    bool m_loaded = false;    // m_buffer still holds at least one field
    bool m_lineEnded = false; // the last field returned ended its line
};

// Splits one line into its delimited fields (same rules as FieldReader).
std::vector<std::string> splitFields(const std::string& line);

// One item of a quoted or line-written record. A float is written by the single-precision rule
// (at most 7 significant digits), a double by the double rule.
using Item = std::variant<std::string, double, float>;

// Quoted writing: items separated by commas, texts in double quotes, numbers bare (leading-blank
// rule, the blank of a non-negative number dropped). Ends with `lineEnd`.
std::string quotedLine(const std::vector<Item>& items, std::string_view lineEnd = "\n");

// Line writing: items written as text without separators; a number with a leading blank for its
// sign and one trailing blank. No line break.
std::string lineText(const std::vector<Item>& items);

} // namespace zul
