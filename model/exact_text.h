#pragma once
// Numbers written to be read back: the general format of floatToText
// (numtext.h) with the fewest significant digits (up to 17) that
// textToFloat reads back as the same double, as JSON writers do. A value
// stored in a file or handed to another block as text keeps every bit; for
// values typed with up to 15 digits it is floatToText's text.
#include <string>

namespace trelmox {

std::string floatToExactText(double value);

} // namespace trelmox
