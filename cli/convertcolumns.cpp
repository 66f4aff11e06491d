// `zul convert` on files as spreadsheets keep them: the header read ahead, the columns that hold
// the form's fields found by name or number, the others kept for the output.
#include "cli/convert.h"
#include "records/csvline.h"
#include "text/numtext.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace zul::cli {

namespace {

std::string trimmedText(std::string s) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!s.empty() && blank(static_cast<unsigned char>(s.back())))
        s.pop_back();
    std::size_t start = 0;
    while (start < s.size() && blank(static_cast<unsigned char>(s[start])))
        ++start;
    return s.substr(start);
}

std::string lowered(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// A whole number from 1 up, or 0.
int columnNumber(const std::string& text) {
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return 0;
    return std::stoi(text);
}

} // namespace

FirstLine readFirstLine(const ChunkReader& read) {
    auto held = std::make_shared<std::string>();
    bool ended = false;
    std::size_t lineEnd = std::string::npos;
    char buffer[1 << 16];
    // Only what was just read is searched for the line's end: a very long first line costs its
    // length, not its length squared. Reading ahead stops past the longest line a reader takes
    // (a byte order mark aside): such a line is no header, and the stream skips it as too long.
    std::size_t searched = 0;
    FirstLine first;
    while (!ended && (lineEnd = held->find_first_of("\r\n", searched)) == std::string::npos) {
        searched = held->size();
        if (searched > kMaxLineLength + 3) {
            first.tooLong = true;
            break;
        }
        const std::size_t got = read(buffer, sizeof buffer);
        if (got == 0)
            ended = true;
        else
            held->append(buffer, got);
    }
    if (!first.tooLong) {
        first.text = held->substr(0, lineEnd);
        if (first.text.rfind("\xEF\xBB\xBF", 0) == 0) first.text.erase(0, 3);
        first.tooLong = first.text.size() > kMaxLineLength;
        if (first.tooLong) first.text.clear();
    }
    // What was read ahead is given again, then the rest of the input.
    auto offset = std::make_shared<std::size_t>(0);
    first.again = [held, offset, &read](char* out, std::size_t size) -> std::size_t {
        if (*offset < held->size()) {
            const std::size_t n = std::min(size, held->size() - *offset);
            std::copy_n(held->data() + *offset, n, out);
            *offset += n;
            return n;
        }
        return read(out, size);
    };
    return first;
}

std::string resolveColumns(const std::string& list, const std::string& firstLine,
                           ConvertOptions& options, bool& isHeader) {
    std::vector<std::string> header;
    splitCsvLine(firstLine, header, options.delimiter);
    std::vector<std::string> wanted;
    splitCsvLine(list, wanted, ',');
    const int count = fieldCount(options.from);
    options.columns.clear();
    options.otherNames.clear();

    if (list.empty()) {
        isHeader = !header.empty() && !isDataField(header[0], options.delimiter);
        return {};
    }
    if (static_cast<int>(wanted.size()) < count)
        return "--columns names " + std::to_string(wanted.size()) + " columns; --from " +
               std::string(formName(options.from)) + " takes " + std::to_string(count) + " (" +
               fieldNames(options.from) + ")";
    if (static_cast<int>(wanted.size()) > count) {
        // The input's columns named in full ("id,X,Y,Z"): the form's fields are found by their
        // captions, the rest are copied.
        std::vector<std::string> chosen;
        for (const EntryField& field : entryForm(options.from).fields) {
            const std::string caption = field.name;
            const auto exact = std::find(wanted.begin(), wanted.end(), caption);
            auto found = exact;
            if (found == wanted.end()) {
                const auto loose = [&](const std::string& w) {
                    std::string a = lowered(trimmedText(w)), b = lowered(caption);
                    if (!b.empty() && b.back() == '*' && (a.empty() || a.back() != '*')) a += '*';
                    return a == b;
                };
                found = std::find_if(wanted.begin(), wanted.end(), loose);
                if (found != wanted.end() &&
                    std::find_if(found + 1, wanted.end(), loose) != wanted.end())
                    return "--columns: more than one column could be " + caption;
            }
            if (found == wanted.end())
                return "--columns " + list + ": no column for " + caption + " (--from " +
                       formName(options.from) + " takes " + fieldNames(options.from) + ")";
            chosen.push_back(*found);
        }
        wanted = chosen;
    }
    const bool byNumber = std::all_of(wanted.begin(), wanted.end(),
                                      [](const std::string& w) { return columnNumber(w) > 0; });
    for (const std::string& w : wanted) {
        int index = -1;
        if (byNumber) {
            index = columnNumber(w) - 1;
        } else {
            for (std::size_t i = 0; i < header.size() && index < 0; ++i)
                if (lowered(trimmedText(header[i])) == lowered(trimmedText(w)))
                    index = static_cast<int>(i);
            if (index < 0) {
                std::string names;
                for (const std::string& h : header)
                    names += (names.empty() ? "" : ", ") + h;
                return "no column named \"" + w + "\" in the first line (" + names + ")";
            }
        }
        if (std::find(options.columns.begin(), options.columns.end(), index) !=
            options.columns.end())
            return "--columns names column \"" + w + "\" twice";
        options.columns.push_back(index);
    }
    // Named columns need a header; numbered ones have one when the first field of the form is
    // not a colour's number or hue.
    const std::size_t first = static_cast<std::size_t>(options.columns.front());
    isHeader =
        !byNumber || (first < header.size() && !isDataField(header[first], options.delimiter));
    for (int c : otherColumns(options.columns, static_cast<int>(header.size())))
        options.otherNames.push_back(isHeader ? header[static_cast<std::size_t>(c)]
                                              : "column " + std::to_string(c + 1));
    return {};
}

} // namespace zul::cli
