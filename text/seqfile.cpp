#include "text/seqfile.h"

#include "text/blanks.h"
#include "text/errors.h"
#include "text/numtext.h"

#include <sstream>

namespace zul {

namespace {

bool isBlankLine(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

std::string trimmed(std::string_view s) {
    return std::string(trimBlanks(s));
}

std::string numberText(const Item& item, bool signBlank) {
    if (const auto* d = std::get_if<double>(&item))
        return signBlank ? signedText(*d) : plainText(*d);
    const float f = std::get<float>(item);
    return signBlank ? signedText(f) : plainText(f);
}

} // namespace

FieldReader::FieldReader(std::istream& in) : m_in(in) {}

bool FieldReader::loadLine() {
    std::streambuf* buf = m_in.rdbuf();
    using Traits = std::char_traits<char>;
    m_buffer.clear();
    m_pos = 0;
    int c = buf ? buf->sbumpc() : Traits::eof();
    if (c == Traits::eof()) {
        m_in.setstate(std::ios::eofbit);
        return false;
    }
    while (c != Traits::eof() && c != '\n' && c != '\r') {
        m_buffer += Traits::to_char_type(c);
        c = buf->sbumpc();
    }
    if (c == '\r' && buf->sgetc() == '\n') buf->sbumpc();
    m_bufferLine = m_nextLine++;
    m_loaded = true;
    m_lineEnded = false;
    return true;
}

std::optional<std::string> FieldReader::next() {
    while (!m_loaded || (m_pos == 0 && isBlankLine(m_buffer))) {
        if (!loadLine()) return std::nullopt;
    }
    m_line = m_bufferLine;

    std::size_t start = m_pos;
    while (start < m_buffer.size() && isBlank(m_buffer[start]))
        ++start;

    std::string field;
    std::size_t comma;
    if (start < m_buffer.size() && m_buffer[start] == '"') {
        const std::size_t close = m_buffer.find('"', start + 1);
        if (close == std::string::npos) {
            field = m_buffer.substr(start + 1);
            comma = std::string::npos;
        } else {
            field = m_buffer.substr(start + 1, close - start - 1);
            comma = m_buffer.find(',', close + 1);
        }
    } else {
        comma = m_buffer.find(',', start);
        field = trimmed(std::string_view(m_buffer).substr(start, comma - start));
    }

    if (comma == std::string::npos) {
        m_loaded = false;
        m_lineEnded = true;
    } else {
        m_pos = comma + 1;
        m_lineEnded = false;
    }
    return field;
}

double FieldReader::nextNumber(const std::string& what) {
    const std::string prefix = what.empty() ? std::string() : what + ": ";
    const std::optional<std::string> field = next();
    if (!field) throw DataFileError(prefix + "unexpected end of input");
    const std::string where = prefix + "line " + std::to_string(m_line) + ": ";
    try {
        return parseStrict(*field);
    } catch (const ConversionError& e) {
        throw ConversionError(where + e.what());
    } catch (const RangeError& e) {
        throw RangeError(where + e.what());
    }
}

bool FieldReader::atEnd() {
    if (m_loaded && !(m_pos == 0 && isBlankLine(m_buffer))) return false;
    // Blank lines hold no field: look past them, keeping the first line that does.
    do {
        if (!loadLine()) return true;
    } while (isBlankLine(m_buffer));
    return false;
}

std::string FieldReader::restOfLine() {
    if (!m_loaded) {
        if (m_lineEnded) {
            m_lineEnded = false;
            return {};
        }
        if (!loadLine()) return {};
    }
    m_line = m_bufferLine;
    std::string rest = m_buffer.substr(m_pos);
    m_loaded = false;
    m_lineEnded = false;
    return rest;
}

std::vector<std::string> splitFields(const std::string& line) {
    std::istringstream in(line);
    FieldReader reader(in);
    std::vector<std::string> fields;
    while (auto field = reader.next()) {
        // Only the first line's fields: a line break inside `line` ends it.
        if (reader.line() != 1) break;
        fields.push_back(std::move(*field));
    }
    return fields;
}

std::string quotedLine(const std::vector<Item>& items, std::string_view lineEnd) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += ',';
        if (const auto* text = std::get_if<std::string>(&items[i]))
            out += '"' + *text + '"';
        else
            out += numberText(items[i], false);
    }
    out += lineEnd;
    return out;
}

std::string lineText(const std::vector<Item>& items) {
    std::string out;
    for (const Item& item : items) {
        if (const auto* text = std::get_if<std::string>(&item))
            out += *text;
        else
            out += numberText(item, true) + ' ';
    }
    return out;
}

} // namespace zul
