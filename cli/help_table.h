#pragma once
// The one description of the tool's commands and their options. `--help`
// prints it, each command's parser accepts the options it lists and no
// other (parseCommand), and trelmox-cli-pages writes the manual page and
// the bash completion from it when the program is built. A command is one
// CommandHelp in help_table.cpp: its arguments, what it does, its options
// with their values and what a shell completes after them, and the notes
// printed after the options.
//
// Texts are paragraphs separated by a blank line, wrapped where they are
// printed; a paragraph whose lines all start with two spaces is a table,
// printed as laid out.
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"

namespace trelmox::cli {

// What a shell completes as an option's value.
enum class Completion {
    Nothing,    // a number or a free text
    File,       // a file name
    Folder,     // a folder name
    Words,      // one of OptionHelp::Words; a word ending in '=' takes its value without a space
    Input,      // an input's name (dip1, c1, ...)
    InputValue, // an input's name and '=' (NAME=VALUE)
};

struct OptionHelp {
    std::string Name;  // without "--"
    std::string Value; // the value as the usage shows it ("N", "NAME=SD", "text|json"); empty: a flag
    std::string Text;  // what it does
    Completion Completes = Completion::Nothing;
    std::string Words;     // Completion::Words: the values, separated by spaces
    bool Required = false; // shown without brackets
    bool Repeated = false; // may be given more than once ("..." in the usage)
};

// A section of text shared by several commands (the inputs' names): --help
// prints it after a command's options, the manual page once.
struct TopicHelp {
    std::string Id, Title, Text;
};

struct CommandHelp {
    std::string Name;
    std::string Arguments; // the file arguments as the usage shows them ("FILE", "FILE...")
    std::string Summary;   // for the tool's overview: what it does, in a sentence or two
    std::string Text;      // what it does, before the options
    std::vector<OptionHelp> Options;
    std::vector<std::string> Topics; // TopicHelp ids, printed after the options
    std::string Notes;               // after them: output keys, limits
    std::string ExitStatus;          // "0 done, 1 ..., 2 usage error."
};

// The tool as a whole: its options before the command, what the manual
// page says beside the commands.
struct ToolHelp {
    std::string Summary; // the manual page's NAME line
    std::string Text;    // DESCRIPTION
    std::vector<OptionHelp> Options;
    std::vector<TopicHelp> Topics;
    std::string Output;      // what every command's figures mean when missing or out of range
    std::string Environment; // paragraphs "NAME: what it does"
    std::string ExitStatus;  // paragraphs "N: meaning"
    std::string Files;       // paragraphs "PATH: what it is"
    std::string Examples;    // command lines, one a line
};

const std::vector<CommandHelp>& commandHelp();
const ToolHelp& toolHelp();
// The command named so; nullptr for none.
const CommandHelp* findCommandHelp(std::string_view name);
// The names of the inputs a distribution may be given to (dip1, c1, ...).
std::vector<std::string> inputNames();

// The tool's --help text, and a command's.
std::string toolUsage();
std::string commandUsage(std::string_view command);
// Paragraphs wrapped to `width` columns, each line after `indent` spaces;
// tables as laid out.
std::string wrapped(std::string_view text, std::size_t indent, std::size_t width);

// The arguments of `command` with the options its description lists (a
// usage error for any other); std::logic_error for a command not described.
ParsedArgs parseCommand(std::string_view command, const std::vector<std::string>& args);

} // namespace trelmox::cli
