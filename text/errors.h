#pragma once
// Typed errors raised by the engine to its callers. The workbench decides how each is shown.
#include <stdexcept>
#include <string>

namespace zul {

struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A value outside the range an operation accepts (16-bit overflow, slider range, value >= 10 ...).
struct RangeError : Error {
    using Error::Error;
};

// A text that is not a number where a number is required.
struct ConversionError : Error {
    using Error::Error;
};

// Division by zero, a negative base for a fractional power, a non-finite result.
struct ArithmeticError : Error {
    using Error::Error;
};

// A data file that is missing, unreadable, short or malformed.
struct DataFileError : Error {
    using Error::Error;
};

} // namespace zul
