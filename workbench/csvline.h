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
// A number followed by a hue family ("5R", "6.4 yr", "10RP").
bool isHueNotation(std::string_view text);
// The first line of a file is a header when its first field is neither a number nor a hue
// notation (alone or with value and chroma, "5R 4/14").
bool isHeaderLine(std::string_view line);

} // namespace zul
