#pragma once
// Number <-> text as the user and the files see them. The decimal separator
// is always "." whatever the process locale, because the data file uses ","
// between fields.
#include <cstdint>
#include <string>

namespace trelmox {

// A decimal number as a person types it: optional sign, digits with at most
// one ".", optional exponent (e/E, optional sign, digits). No blanks, no
// "inf"/"nan", no hexadecimal, nothing beyond the range of a double.
// Throws Error("'<text>' is not a valid floating point value").
double textToFloat(const std::string& text);

// Optional sign and decimal digits within the 32-bit signed range.
// Throws Error("'<text>' is not a valid integer value").
std::int32_t textToInt32(const std::string& text);

// General format, 15 significant digits: trailing zeros dropped, fixed
// notation for 1e-4 <= |v| < 1e15 after rounding, else scientific such as
// "1.5E-5" or "1E15"; zero of either sign is "0".
std::string floatToText(double value);

// A bound of a range as messages write it: floatToText, and "∞" or "-∞"
// for an unbounded side, so that no message prints "INF" as a figure.
std::string boundToText(double bound);

// The "0.0000" pattern: fixed, exactly four decimals, rounded; a value that
// rounds to zero is written without a sign.
std::string floatToFixed4(double value);

} // namespace trelmox
