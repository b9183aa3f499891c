// The tool speaks the locale's language when no --lang is given. Its tests
// expect English there, as whoever runs them may have any locale: they run
// under one that names no Chinese. The tests of the locale rule set the
// variables themselves.
#include <cstdlib>

namespace {
const bool plainLocale = [] {
    ::setenv("LC_ALL", "C.UTF-8", 1);
    return true;
}();
} // namespace
