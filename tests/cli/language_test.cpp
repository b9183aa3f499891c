// The tool's language: --lang, else the locale's (LC_ALL, LC_MESSAGES,
// LANG, as the windows take it), chosen afresh on every run, and a language
// name it does not know refused as a usage error.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <unistd.h>

#include "tests/cli/cli_run.h"
#include "model/language.h"
#include "tests/cli/cjk.h"

namespace fs = std::filesystem;
using namespace trelmox::cli;
using ::testing::HasSubstr;
using trelmox::cli::testing::CliRun;
using trelmox::cli::testing::Example;
using trelmox::cli::testing::hasCjk;

namespace {

class ToolLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("trelmox-language-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        write("short.txt", "45\r\n");
        fs::copy_file(Example, dir / "W3.txt");
        write("W3.json", "{");
        write("sectors.csv", "");
        write("joints.csv", "45,120\n45,abc\n");
    }
    void TearDown() override {
        fs::remove_all(dir);
        trelmox::setMessageLanguage(trelmox::Language::Chinese); // as the other tests of this process expect
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    std::string at(const std::string& name) const { return (dir / name).string(); }
    fs::path dir;
};

// Runs the tool as a person would, without the tests' Chinese default;
// `err` holds both streams (analyze reports a block's failure in its table).
CliRun tool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = run(args, out, err);
    return {status, out.str(), out.str() + err.str()};
}

TEST_F(ToolLanguage, FailuresAreWordedInEnglishByDefaultAndInChineseWithLangZh) {
    const std::string measurements = std::string(TRELMOX_TEST_DATA) + "/joint_measurements.csv";
    const std::vector<std::string> planar = {"planar", "--height",      "-1", "--face-dip", "60", "--plane-dip",
                                             "30",     "--unit-weight", "26", "--cohesion", "10", "--friction",
                                             "0.6"};
    const struct {
        std::vector<std::string> args;
        std::string english, chinese;
    } cases[] = {
        {{"analyze", at("missing.txt")}, "no such file or folder", "文件或文件夹不存在"},
        {{"analyze", at("short.txt")}, " line 2: missing: a block data file has", " 第2行: 缺失：块体数据文件应有"},
        {{"analyze", at("W3.txt")}, "loads file \"W3.json\": not valid JSON at line 1", "荷载文件“W3.json”在第1行"},
        {planar, "slope height should be greater than zero, given -1", "坡高应大于零，现为 -1"},
        {{"kinematics", at("sectors.csv"), measurements}, "the sectors file has no header", "分区文件没有表头"},
        {{"combinations", Example, at("joints.csv")},
         "measurement file line 2: dip direction \"abc\" is not",
         "测量文件第 2 行：倾向“abc”不是数"},
        // A probabilistic input by the tool's name in English, by the windows' caption in Chinese.
        {{"probabilistic", Example, "--sd", "c1=-1"},
         "c1: the standard deviation must be a finite number >= 0, not -1",
         "第一切割面粘聚力 c1的标准差应为不小于0的有限数，而不是-1"},
    };
    for (const auto& c : cases) {
        const CliRun english = tool(c.args);
        EXPECT_NE(english.status, ExitOk) << c.english;
        EXPECT_THAT(english.err, HasSubstr(c.english));
        EXPECT_FALSE(hasCjk(english.err)) << english.err;
        std::vector<std::string> zh = {"--lang", "zh"};
        zh.insert(zh.end(), c.args.begin(), c.args.end());
        const CliRun chinese = tool(zh);
        EXPECT_EQ(chinese.status, english.status) << c.chinese;
        EXPECT_THAT(chinese.err, HasSubstr(c.chinese));
        // Chosen afresh: the run after a Chinese one is English again.
        EXPECT_EQ(tool(c.args).err, english.err);
    }
}

// The English words of a text, but the names that stay as they are in
// either language: the contact cases, the factors, the methods' authors,
// the inputs, the sampling methods and the example's names.
std::set<std::string> englishWords(const std::string& text) {
    static const std::set<std::string> names = {"NoBlock",
                                                "BothPlanes",
                                                "FirstPlaneOnly",
                                                "SecondPlaneOnly",
                                                "LiftOff",
                                                "Unresolved",
                                                "Kc",
                                                "Fs",
                                                "FORM",
                                                "SORM",
                                                "Breitung",
                                                "Tvedt",
                                                "Ditlevsen",
                                                "mc",
                                                "lhs",
                                                "example",
                                                "W3",
                                                "c1",
                                                "f1",
                                                "UTF",
                                                "J1",
                                                "J2",
                                                "J3"};
    std::set<std::string> words;
    const std::regex word("[A-Za-z][A-Za-z0-9]+");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), word); it != std::sregex_iterator(); ++it)
        if (!names.contains(it->str())) words.insert(it->str());
    return words;
}

TEST_F(ToolLanguage, EveryCommandsReadableOutputIsWordedInTheChosenLanguage) {
    const std::string data = TRELMOX_TEST_DATA;
    const std::vector<std::vector<std::string>> commands = {
        {"analyze", Example},
        {"probabilistic", Example, "--samples", "300", "--sd", "c1=5", "--method", "lhs", "--quiet"},
        {"sensitivity", Example, "--param", "c1", "--from", "0", "--to", "40", "--steps", "2"},
        {"reliability", Example, "--sd", "c1=5", "--sd", "f1=0.05", "--target-beta", "3", "--quiet"},
        {"combinations", Example, data + "/joint_measurements.csv", "--sets", "auto:3", "--probabilistic", "--samples",
         "200"},
        {"kinematics", data + "/pit_sectors.csv", data + "/joint_measurements.csv", "--quiet"},
        {"planar", "--height", "20", "--face-dip", "60", "--plane-dip", "35", "--unit-weight", "25", "--cohesion", "10",
         "--friction", "0.5"},
    };
    for (const auto& args : commands) {
        const CliRun english = tool(args);
        EXPECT_FALSE(english.out.empty()) << args[0] << english.err;
        // Sector names come from the user's file, in whatever writing.
        const bool userNames = args[0] == "kinematics";
        EXPECT_TRUE(userNames || !hasCjk(english.err)) << args[0] << english.err;
        std::vector<std::string> zh = {"--lang", "zh"};
        zh.insert(zh.end(), args.begin(), args.end());
        const CliRun chinese = tool(zh);
        EXPECT_EQ(chinese.status, english.status) << args[0];
        EXPECT_TRUE(hasCjk(chinese.out)) << args[0];
        EXPECT_THAT(englishWords(chinese.err), ::testing::IsEmpty()) << args[0] << '\n' << chinese.err;
    }
}

TEST_F(ToolLanguage, TheOptionGoesAnywhereBeforeTheEndOfOptionsAndUnknownNamesAreRefused) {
    EXPECT_THAT(tool({"analyze", at("missing.txt"), "--lang=zh"}).err, HasSubstr("文件或文件夹不存在"));
    EXPECT_THAT(tool({"analyze", "--lang", "en", at("missing.txt")}).err, HasSubstr("no such file or folder"));
    // After "--" it is a file name like any other.
    EXPECT_THAT(tool({"analyze", "--", "--lang"}).err, HasSubstr("--lang: no such file or folder"));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--lang", "fr", "analyze", at("W3.txt")}, {"analyze", at("W3.txt"), "--lang"}}) {
        const CliRun refused = tool(args);
        EXPECT_EQ(refused.status, ExitUsage);
        EXPECT_THAT(refused.err, HasSubstr("--lang"));
        EXPECT_THAT(refused.err, HasSubstr("usage: trelmox-cli"));
    }
}

// The three variables set (nullopt: unset) for a test, as they were after.
class LocaleVariables {
public:
    LocaleVariables(std::optional<std::string> all, std::optional<std::string> messages,
                    std::optional<std::string> lang) {
        set("LC_ALL", all), set("LC_MESSAGES", messages), set("LANG", lang);
    }
    ~LocaleVariables() {
        for (const auto& [name, value] : saved_) value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }

private:
    void set(const char* name, const std::optional<std::string>& value) {
        const char* was = std::getenv(name);
        saved_.emplace_back(name, was ? std::optional<std::string>(was) : std::nullopt);
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(ToolLanguage, WithoutTheOptionTheLocaleChoosesAsTheWindowsDo) {
    const std::optional<std::string> unset;
    const struct {
        std::optional<std::string> all, messages, lang;
        std::vector<std::string> option;
        bool chinese;
    } cases[] = {
        {unset, unset, "zh_CN.UTF-8", {}, true},
        {unset, unset, "zh_TW", {}, true},
        {unset, unset, "zh", {}, true},
        {unset, unset, "en_US.UTF-8", {}, false},
        {unset, unset, "zhx_YY", {}, false},
        {unset, unset, unset, {}, false},
        {unset, unset, "C", {}, false},
        // LC_ALL beats LC_MESSAGES, which beats LANG; an empty one counts as unset.
        {"en_GB.UTF-8", "zh_CN.UTF-8", "zh_CN.UTF-8", {}, false},
        {"zh_CN.GB18030", "en_US.UTF-8", "en_US.UTF-8", {}, true},
        {unset, "zh_CN.UTF-8", "en_US.UTF-8", {}, true},
        {unset, "en_US.UTF-8", "zh_CN.UTF-8", {}, false},
        {"", "", "zh_CN.UTF-8", {}, true},
        // --lang overrides the locale either way.
        {unset, unset, "zh_CN.UTF-8", {"--lang", "en"}, false},
        {"C", unset, unset, {"--lang=zh"}, true},
    };
    for (const auto& c : cases) {
        const LocaleVariables locale(c.all, c.messages, c.lang);
        std::vector<std::string> args = c.option;
        args.insert(args.end(), {"analyze", at("missing.txt")});
        const CliRun run = tool(args);
        EXPECT_EQ(hasCjk(run.err), c.chinese) << c.lang.value_or("-") << ' ' << run.err;
        EXPECT_EQ(trelmox::messagesLocale(c.all ? c.all->c_str() : nullptr, c.messages ? c.messages->c_str() : nullptr,
                                          c.lang ? c.lang->c_str() : nullptr),
                  trelmox::messagesLocaleOfEnvironment());
    }
}

} // namespace
