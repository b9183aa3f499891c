#pragma once
// The manual page and the bash completion of trelmox-cli, written from the
// description of its commands (help_table.h) by trelmox-cli-pages when the
// program is built.
#include <string>

namespace trelmox::cli {

// trelmox-cli(1) in man(7) markup, ASCII only.
std::string manualPage();
// A bash completion script: `_trelmox_cli` completing commands, options,
// their values and files, bound to trelmox-cli.
std::string bashCompletion();

} // namespace trelmox::cli
