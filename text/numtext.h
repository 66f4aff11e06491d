#pragma once
// Number texts: reading numbers from field texts and writing numbers as texts.
#include <cstdint>
#include <string>
#include <string_view>

namespace zul {

// Strict reading: the whole text (surrounding blanks allowed) must be one decimal number
// (optional sign, digits, optional point and digits, optional exponent). Otherwise throws
// ConversionError whose message quotes the text. A result outside the double range throws
// RangeError.
double parseStrict(std::string_view text);

// Strict reading of a named item (a field, an argument): the errors name it and quote its text,
// `Y: "1,2.3" is not a number`, `Y: "1e999" is out of range`.
double parseStrictNamed(std::string_view name, std::string_view text);

// True when strict reading accepts the text.
bool isNumber(std::string_view text);

// Lenient reading: blanks and tabs are skipped wherever they stand; the longest leading run that
// forms a decimal number (optional sign, digits, "." point, optional exponent) is taken and the
// rest ignored. No number at the start gives 0.
double parseLenient(std::string_view text);

// Generic picture formatter. '0' is a digit always shown, '#' a digit shown only when
// significant, '.' the decimal point; any other character (e.g. a leading blank) is copied.
// Rounds half away from zero on the exact binary value; a result that rounds to zero carries no
// minus sign. Examples: ("##0.00", 0.5) -> "0.50"; ("###.00", 0.5) -> ".50"; ("##.00", -1) ->
// "-1.00"; ("0.0000", 0.31006) -> "0.3101"; ("##0", 127.5) -> "128".
std::string formatPicture(double value, std::string_view picture);

// Plain number text of a single-precision number as written into a field: no leading blank,
// the shortest text of at most 7 significant digits that names the number ("2.2", "128",
// "0.25", "-3", "1E-05" style exponent only where fixed notation would need more digits).
std::string plainText(float value);
std::string plainText(double value);

// The leading-blank rule: plain text with a blank where a plus sign would be (" 128", "-3").
std::string signedText(float value);
std::string signedText(double value);

// The same texts appended to `out` without a string of their own (record writing).
void appendPlainText(std::string& out, float value);
void appendPlainText(std::string& out, double value);
void appendSignedText(std::string& out, float value);
void appendSignedText(std::string& out, double value);

// Round to a 16-bit integer, ties to even. Outside -32768..32767 (or not finite) throws
// RangeError.
std::int16_t roundToInt16(double value);

// Round to the nearest integer, ties to even, as a double (no range check).
double roundHalfEven(double value);

} // namespace zul
