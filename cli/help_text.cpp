// --help as the description gives it (help_table.h), and the parsers that
// accept what it lists.
#include <set>
#include <stdexcept>

#include "cli/help_table.h"

namespace trelmox::cli {

namespace {

constexpr std::size_t Width = 80;
constexpr std::size_t OptionColumn = 23; // where an option's text starts

std::vector<std::string_view> paragraphs(std::string_view text) {
    std::vector<std::string_view> found;
    while (!text.empty()) {
        const std::size_t end = text.find("\n\n");
        found.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 2);
    }
    return found;
}

bool isTable(std::string_view paragraph) { return paragraph.starts_with("  "); }

// Words of a paragraph wrapped into lines of at most `width` columns, the
// first word where the line stands (`column`), each further line after
// `indent` spaces (a word longer than a line stands alone).
void wrapWords(std::string_view paragraph, std::size_t indent, std::size_t width, std::string& out,
               std::size_t column) {
    bool lineStarted = false;
    std::size_t at = 0;
    while (at < paragraph.size()) {
        const std::size_t start = paragraph.find_first_not_of(" \n", at);
        if (start == std::string_view::npos) break;
        std::size_t end = paragraph.find_first_of(" \n", start);
        if (end == std::string_view::npos) end = paragraph.size();
        const std::string_view word = paragraph.substr(start, end - start);
        at = end;
        if (lineStarted && column + 1 + word.size() > width) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
        } else if (lineStarted) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineStarted = true;
    }
    out += '\n';
}

// "[--name VALUE ...]" as the usage line shows an option.
std::string usageToken(const OptionHelp& o) {
    std::string token = "--" + o.Name;
    if (!o.Value.empty()) token += " " + o.Value;
    if (o.Repeated) token += " ...";
    return o.Required ? token : "[" + token + "]";
}

// "trelmox-cli NAME ARGS [options]" wrapped at the tokens; continuation
// lines after `indent` spaces.
std::string synopsis(const CommandHelp& c, std::size_t firstIndent, std::size_t indent) {
    std::vector<std::string> tokens{"trelmox-cli", c.Name};
    if (!c.Arguments.empty()) tokens.push_back(c.Arguments);
    for (const OptionHelp& o : c.Options) tokens.push_back(usageToken(o));
    std::string out(firstIndent, ' ');
    std::size_t column = firstIndent;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (i > 0 && column + 1 + tokens[i].size() > Width) {
            out += '\n';
            out.append(indent, ' ');
            column = indent;
        } else if (i > 0) {
            out += ' ';
            ++column;
        }
        out += tokens[i];
        column += tokens[i].size();
    }
    return out + '\n';
}

std::string optionLines(const std::vector<OptionHelp>& options) {
    std::string out;
    for (const OptionHelp& o : options) {
        const std::string head = "  --" + o.Name + (o.Value.empty() ? "" : " " + o.Value);
        out += head;
        if (head.size() + 1 > OptionColumn)
            out += '\n' + std::string(OptionColumn, ' ');
        else
            out.append(OptionColumn - head.size(), ' ');
        wrapWords(o.Text, OptionColumn, Width, out, OptionColumn);
    }
    return out;
}

const TopicHelp* topic(std::string_view id) {
    for (const TopicHelp& t : toolHelp().Topics)
        if (t.Id == id) return &t;
    return nullptr;
}

} // namespace

std::string wrapped(std::string_view text, std::size_t indent, std::size_t width) {
    std::string out;
    bool first = true;
    for (std::string_view p : paragraphs(text)) {
        if (!first) out += '\n';
        first = false;
        if (isTable(p)) {
            std::size_t at = 0;
            while (at <= p.size()) {
                const std::size_t end = std::min(p.find('\n', at), p.size());
                out.append(indent, ' ');
                out += p.substr(at, end - at);
                out += '\n';
                at = end + 1;
            }
        } else {
            out.append(indent, ' ');
            wrapWords(p, indent, width, out, indent);
        }
    }
    return out;
}

std::string toolUsage() {
    const ToolHelp& tool = toolHelp();
    std::string out = "usage: trelmox-cli [--lang en|zh] <command> [options]\n\n";
    out += optionLines({tool.Options.front()});
    out += "\ncommands:\n";
    for (const CommandHelp& c : commandHelp()) {
        std::string line = synopsis(c, 2, 6);
        line.erase(2, std::string("trelmox-cli ").size());
        out += line;
        out += wrapped(c.Summary, 6, Width);
    }
    out += "\n" + wrapped("Run 'trelmox-cli <command> --help' for a command's options, 'trelmox-cli --version' for "
                          "the version; 'man trelmox-cli' says all of it.",
                          0, Width);
    return out;
}

std::string commandUsage(std::string_view command) {
    const CommandHelp* c = findCommandHelp(command);
    if (!c) return toolUsage();
    const std::string prefix = "usage: ";
    std::string out = prefix + synopsis(*c, prefix.size(), 11).substr(prefix.size()) + "\n" +
                      wrapped(c->Text, 0, Width) + "\n" + optionLines(c->Options);
    for (const std::string& id : c->Topics)
        if (const TopicHelp* t = topic(id)) out += "\n" + t->Title + ":\n" + wrapped(t->Text, 0, Width);
    if (!c->Notes.empty()) out += "\n" + wrapped(c->Notes, 0, Width);
    out += "\n" + wrapped("Exit status: " + c->ExitStatus, 0, Width);
    return out;
}

ParsedArgs parseCommand(std::string_view command, const std::vector<std::string>& args) {
    const CommandHelp* c = findCommandHelp(command);
    // A command without a description would have no help and no options.
    if (!c) throw std::logic_error("trelmox-cli: the command '" + std::string(command) + "' is not described");
    std::set<std::string> values, flags;
    for (const OptionHelp& o : c->Options) (o.Value.empty() ? flags : values).insert(o.Name);
    return parseArgs(args, values, flags);
}

} // namespace trelmox::cli
