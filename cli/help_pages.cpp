#include "cli/help_pages.h"

#include <cctype>
#include <cstdio>

#include "cli/help_table.h"

namespace trelmox::cli {

namespace {

// Text as roff reads it: backslashes and minus signs escaped, everything
// beyond ASCII as \[uXXXX], and a line that would start with a control
// character made plain text.
std::string roff(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c == '\\')
                out += "\\e";
            else if (c == '-')
                out += "\\-";
            else
                out += static_cast<char>(c);
            ++i;
            continue;
        }
        const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
        char32_t code = c & (length == 4 ? 0x07 : length == 3 ? 0x0F : 0x1F);
        for (int k = 1; k < length && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        char escaped[16];
        std::snprintf(escaped, sizeof escaped, "\\[u%04X]", static_cast<unsigned>(code));
        out += escaped;
        i += length;
    }
    return out;
}

std::string line(std::string_view text) {
    std::string out = roff(text);
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out + '\n';
}

// Paragraphs after `first` (.PP, or .IP inside a tagged paragraph), tables
// without filling.
std::string paragraphs(std::string_view text, const char* between) {
    std::string out;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find("\n\n");
        const std::string_view p = text.substr(0, end);
        if (!first) out += std::string(between) + '\n';
        first = false;
        if (p.starts_with("  ")) {
            out += ".nf\n";
            std::size_t at = 0;
            while (at < p.size()) {
                const std::size_t stop = std::min(p.find('\n', at), p.size());
                out += line(p.substr(at, stop - at));
                at = stop + 1;
            }
            out += ".fi\n";
        } else {
            std::string joined(p);
            for (char& c : joined)
                if (c == '\n') c = ' ';
            out += line(joined);
        }
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 2);
    }
    return out;
}

bool italicValue(const OptionHelp& o) {
    for (char c : o.Value)
        if (std::isupper(static_cast<unsigned char>(c))) return true;
    return false;
}

std::string quoted(std::string_view text) { return "\"" + roff(text) + "\""; }

// An option as the synopsis shows it.
std::string synopsisOption(const OptionHelp& o) {
    const std::string name = roff("--" + o.Name);
    const std::string more = o.Repeated ? " ..." : "";
    if (o.Value.empty()) return o.Required ? ".B " + name + "\n" : ".RB [ " + name + " ]\n";
    if (o.Required)
        return italicValue(o) ? ".B " + name + "\n.I " + roff(o.Value) + "\n"
                              : ".BR " + name + " " + quoted(" " + o.Value) + "\n";
    if (italicValue(o)) return ".RB [ " + name + "\n.IR " + roff(o.Value) + " " + quoted(more + "]") + "\n";
    return ".RB [ " + name + " " + quoted(" " + o.Value + more) + " ]\n";
}

// The tag of an option's paragraph.
std::string optionTag(const OptionHelp& o) {
    const std::string name = roff("--" + o.Name);
    if (o.Value.empty()) return ".B " + name + "\n";
    return (italicValue(o) ? ".BI " : ".BR ") + name + " " + quoted(" " + o.Value) + "\n";
}

std::string arguments(std::string_view args) {
    std::string out;
    std::size_t at = 0;
    while (at < args.size()) {
        std::size_t end = args.find(' ', at);
        if (end == std::string_view::npos) end = args.size();
        std::string_view word = args.substr(at, end - at);
        if (word.ends_with("..."))
            out += ".IR " + roff(word.substr(0, word.size() - 3)) + " ...\n";
        else
            out += ".I " + roff(word) + "\n";
        at = end + 1;
    }
    return out;
}

// "NAME: text" paragraphs as tagged paragraphs, the tag in `font`.
std::string tagged(std::string_view text, const char* font) {
    std::string out;
    while (!text.empty()) {
        const std::size_t end = text.find("\n\n");
        const std::string_view p = text.substr(0, end);
        const std::size_t colon = p.find(": ");
        out += ".TP\n" + std::string(font) + " " + roff(p.substr(0, colon)) + "\n" + line(p.substr(colon + 2));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 2);
    }
    return out;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

const TopicHelp& topicOf(const std::string& id) {
    for (const TopicHelp& t : toolHelp().Topics)
        if (t.Id == id) return t;
    return toolHelp().Topics.front();
}

// The shell words of an option's values, and whether they take no space after.
std::string completionOf(const OptionHelp& o) {
    switch (o.Completes) {
    case Completion::Nothing: return "return";
    case Completion::File: return "compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\")); return";
    case Completion::Folder: return "compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- \"$cur\")); return";
    case Completion::Input: return "COMPREPLY=($(compgen -W \"$names\" -- \"$cur\")); return";
    case Completion::InputValue:
        return "compopt -o nospace 2>/dev/null; COMPREPLY=($(compgen -W \"${names// /= }=\" -- \"$cur\")); return";
    case Completion::Words: {
        const bool glued = o.Words.find("= ") != std::string::npos || o.Words.ends_with("=") ||
                           o.Words.find(": ") != std::string::npos || o.Words.ends_with(":");
        return std::string(glued ? "compopt -o nospace 2>/dev/null; " : "") + "COMPREPLY=($(compgen -W \"" + o.Words +
               "\" -- \"$cur\")); return";
    }
    }
    return "return";
}

} // namespace

std::string manualPage() {
    const ToolHelp& tool = toolHelp();
    std::string out = ".\\\" Written by trelmox-cli-pages from the description of the commands in\n"
                      ".\\\" cli/help_table.cpp; change that, not this page.\n"
                      ".TH TRELMOX-CLI 1 \"\" \"TRELMOX\" \"User Commands\"\n"
                      ".SH NAME\ntrelmox-cli \\- " +
                      roff(tool.Summary) + "\n.SH SYNOPSIS\n";
    for (const CommandHelp& c : commandHelp()) {
        out += ".B trelmox-cli\n.RB [ \\-\\-lang \" en|zh\" ]\n.B " + roff(c.Name) + "\n" + arguments(c.Arguments);
        for (const OptionHelp& o : c.Options) out += synopsisOption(o);
        out += ".br\n";
    }
    out += ".B trelmox-cli\n.RB [ \\-\\-help | \\-\\-version ]\n";
    out += ".SH DESCRIPTION\n" + paragraphs(tool.Text, ".PP");
    out += ".SH OPTIONS\n";
    for (const OptionHelp& o : tool.Options) out += ".TP\n" + optionTag(o) + line(o.Text);
    out += ".SH COMMANDS\n";
    for (const CommandHelp& c : commandHelp()) {
        out += ".TP\n.B " + roff(c.Name) + "\n" + paragraphs(c.Text, ".IP");
        out += ".RS\n";
        for (const OptionHelp& o : c.Options) out += ".TP\n" + optionTag(o) + line(o.Text);
        out += ".RE\n";
        for (const std::string& id : c.Topics) out += ".IP\n" + line("See " + upper(topicOf(id).Title) + " below.");
        if (!c.Notes.empty()) out += ".IP\n" + paragraphs(c.Notes, ".IP");
        out += ".IP\n" + line("Exit status: " + c.ExitStatus);
    }
    for (const TopicHelp& t : tool.Topics) out += ".SH " + upper(t.Title) + "\n" + paragraphs(t.Text, ".PP");
    out += ".SH OUTPUT\n" + paragraphs(tool.Output, ".PP");
    out += ".SH EXIT STATUS\n" + tagged(tool.ExitStatus, ".B");
    out += ".SH ENVIRONMENT\n" + tagged(tool.Environment, ".B");
    out += ".SH FILES\n" + tagged(tool.Files, ".I");
    out += ".SH EXAMPLES\n.EX\n";
    std::string_view examples = tool.Examples;
    while (!examples.empty()) {
        const std::size_t end = examples.find('\n');
        out += line(examples.substr(0, end));
        if (end == std::string_view::npos) break;
        examples.remove_prefix(end + 1);
    }
    return out + ".EE\n.SH SEE ALSO\n.BR trelmox (1),\n.BR trelmox\\-report (1)\n";
}

std::string bashCompletion() {
    std::string commands, names;
    for (const CommandHelp& c : commandHelp()) commands += c.Name + " ";
    for (const std::string& n : inputNames()) names += (names.empty() ? "" : " ") + n;
    std::string global;
    for (const OptionHelp& o : toolHelp().Options) global += " --" + o.Name;
    std::string out =
        "# bash completion for trelmox-cli, written by trelmox-cli-pages from the\n"
        "# description of the commands in cli/help_table.cpp; change that, not this.\n"
        "_trelmox_cli() {\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
        "    # --name=value: bash splits at the '='.\n"
        "    if [ \"$cur\" = = ]; then cur=; fi\n"
        "    if [ \"$prev\" = = ] && [ \"$COMP_CWORD\" -ge 2 ]; then prev=${COMP_WORDS[COMP_CWORD-2]}; fi\n"
        "    local names=\"" +
        names +
        "\"\n"
        "    # The command: the first word that is no option, past --lang and its value.\n"
        "    local i=1 command=\n"
        "    while [ \"$i\" -lt \"$COMP_CWORD\" ]; do\n"
        "        case ${COMP_WORDS[i]} in\n"
        "            --lang) if [ \"${COMP_WORDS[i+1]}\" = = ]; then i=$((i + 3)); else i=$((i + 2)); fi ;;\n"
        "            -*) i=$((i + 1)) ;;\n"
        "            *) command=${COMP_WORDS[i]}; break ;;\n"
        "        esac\n"
        "    done\n"
        "    COMPREPLY=()\n"
        "    case $prev in\n";
    for (const OptionHelp& o : toolHelp().Options)
        if (!o.Value.empty()) out += "        --" + o.Name + ") " + completionOf(o) + " ;;\n";
    out += "    esac\n"
           "    local options=\n"
           "    case $command in\n"
           "        '')\n"
           "            COMPREPLY=($(compgen -W \"" +
           commands + global.substr(1) +
           "\" -- \"$cur\"))\n"
           "            return ;;\n";
    for (const CommandHelp& c : commandHelp()) {
        out += "        " + c.Name + ")\n            case $prev in\n";
        for (const OptionHelp& o : c.Options)
            if (!o.Value.empty()) out += "                --" + o.Name + ") " + completionOf(o) + " ;;\n";
        out += "            esac\n            options=\"";
        for (const OptionHelp& o : c.Options) out += "--" + o.Name + " ";
        out += "--help --lang\" ;;\n";
    }
    out += "        *) return ;;\n"
           "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    compopt -o filenames 2>/dev/null\n"
           "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "}\n"
           "complete -F _trelmox_cli trelmox-cli\n";
    return out;
}

} // namespace trelmox::cli
