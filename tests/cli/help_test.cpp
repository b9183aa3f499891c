// The description of the commands against the parsers, and the help, the
// manual page and the completion written from it.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/help_pages.h"
#include "cli/help_table.h"
#include "tests/cli/cli_run.h"

namespace trelmox::cli {
namespace {

using testing::cli;
using testing::CliRun;
using ::testing::HasSubstr;

// The command run with `args` and --help: 0 when its parser takes them.
int helpStatus(const std::string& command, const std::string& option) {
    if (command == "report") { // in process: the PDF helper may not be built
        std::ostringstream out, err;
        return runReportBatch({option, "--help"}, out, err, {});
    }
    return cli({command, option, "--help"}).status;
}

TEST(CommandHelp, EveryDescribedOptionIsTakenAsDescribedAndNoOther) {
    for (const CommandHelp& c : commandHelp()) {
        for (const OptionHelp& o : c.Options) {
            // A value option takes "=value" (one of its words where it has
            // some); a flag refuses it, and stands alone.
            const std::string value = o.Completes == Completion::Words ? o.Words.substr(0, o.Words.find(' ')) : "x";
            const std::string given = "--" + o.Name + (o.Value.empty() ? "" : "=" + value);
            EXPECT_EQ(helpStatus(c.Name, given), ExitOk) << c.Name << ' ' << given;
            if (o.Value.empty()) {
                EXPECT_EQ(helpStatus(c.Name, given + "=x"), ExitUsage) << c.Name << ' ' << given;
            }
        }
        EXPECT_EQ(helpStatus(c.Name, "--no-such-option"), ExitUsage) << c.Name;
        EXPECT_THROW(parseCommand("no-such-command", {}), std::logic_error);
    }
}

// Every command parses its arguments through its description: a parser of
// its own (parseArgs with a list of options) would accept what the help,
// the manual page and the completion do not show.
TEST(CommandHelp, NoCommandListsItsOwnOptions) {
    const std::filesystem::path cli = std::filesystem::path(TRELMOX_TEST_DATA) / ".." / ".." / "cli";
    for (const auto& entry : std::filesystem::directory_iterator(cli)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".cpp" || name == "options.cpp" || name == "help_text.cpp") continue;
        std::ifstream in(entry.path());
        const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_EQ(source.find("parseArgs("), std::string::npos) << name;
    }
}

TEST(CommandHelp, HelpShowsEveryCommandAndOptionWithinEightyColumns) {
    const std::string overview = cli({"--help"}).out;
    EXPECT_THAT(overview, HasSubstr("--lang en|zh"));
    std::vector<std::pair<std::string, std::string>> texts{{"--help", overview}};
    for (const CommandHelp& c : commandHelp()) {
        EXPECT_THAT(overview, HasSubstr("  " + c.Name + " ")) << c.Name;
        const CliRun help = cli({c.Name, "--help"});
        EXPECT_EQ(help.status, ExitOk) << c.Name;
        EXPECT_THAT(help.out, HasSubstr("usage: trelmox-cli " + c.Name)) << c.Name;
        EXPECT_THAT(help.out, HasSubstr("Exit status: ")) << c.Name;
        for (const OptionHelp& o : c.Options) {
            const std::string head = "--" + o.Name + (o.Value.empty() ? "" : " " + o.Value);
            EXPECT_THAT(help.out, HasSubstr("\n  " + head)) << c.Name << ' ' << head;                  // its paragraph
            EXPECT_THAT(help.out, HasSubstr(o.Required ? head : "[" + head)) << c.Name << ' ' << head; // usage
        }
        texts.emplace_back(c.Name, help.out);
    }
    // A usage error shows the command's help too.
    EXPECT_THAT(cli({"probabilistic"}).err, HasSubstr("  --fisher PLANE=K"));
    for (const auto& [name, text] : texts)
        for (const std::string& line : testing::linesOf(text)) {
            // Lines are wrapped at the spaces; only a word longer than a line may stick out.
            if (line.find(' ', line.find_first_not_of(' ')) == std::string::npos) continue;
            std::size_t columns = 0;
            for (unsigned char c : line) columns += (c & 0xC0) != 0x80 ? 1 : 0;
            EXPECT_LE(columns, 80u) << name << ": " << line;
        }
}

// "--name" as the page writes it: "\-\-name".
std::string roffOption(const std::string& name) {
    std::string out = "\\-\\-";
    for (char c : name) out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

TEST(CommandHelp, ManualPageHasEveryOptionInPlainRoff) {
    const std::string page = manualPage();
    EXPECT_THAT(page, HasSubstr("\n.TH TRELMOX-CLI 1 "));
    for (unsigned char c : page) ASSERT_LT(c, 0x80) << "the page is ASCII, other letters as \\[uXXXX]";
    std::vector<std::string> lines = testing::linesOf(page);
    // The tag lines of the options' paragraphs: ".B \-\-quiet", ".BI \-\-seed " S"".
    const auto tagged = [&](const std::string& option) {
        for (std::size_t i = 1; i < lines.size(); ++i)
            if (lines[i - 1] == ".TP" && (lines[i] == ".B " + option || lines[i].starts_with(".BI " + option + " ") ||
                                          lines[i].starts_with(".BR " + option + " ")))
                return true;
        return false;
    };
    for (const OptionHelp& o : toolHelp().Options) EXPECT_TRUE(tagged(roffOption(o.Name))) << o.Name;
    for (const CommandHelp& c : commandHelp()) {
        EXPECT_THAT(page, HasSubstr(".TP\n.B " + c.Name + "\n")) << c.Name;
        for (const OptionHelp& o : c.Options) EXPECT_TRUE(tagged(roffOption(o.Name))) << c.Name << " --" << o.Name;
    }
    // No text line starts with a control character by accident.
    for (const std::string& line : lines) {
        if (!line.empty() && (line[0] == '.' || line[0] == '\'')) {
            EXPECT_THAT(line, ::testing::MatchesRegex(R"(\.(\\".*|[A-Z][A-Z]?( .*)?|nf|fi|br))")) << line;
        }
    }
    EXPECT_THAT(page, HasSubstr("\\[u8BA1]\\[u7B97]\\[u4E66].pdf")); // 计算书, the report's PDF
    // What the figures of every command mean when missing, and what chooses
    // the language without --lang.
    for (const char* section : {"\n.SH OUTPUT\n", "\n.SH EXIT STATUS\n", "\n.SH ENVIRONMENT\n"})
        EXPECT_THAT(page, HasSubstr(section));
    for (const char* said : {"fs_error_kind", "kc_note", "LC_ALL, LC_MESSAGES, LANG", "OMP_WAIT_POLICY"})
        EXPECT_THAT(page, HasSubstr(said));
}

} // namespace
} // namespace trelmox::cli
