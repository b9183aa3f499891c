#include <exception>
#include <functional>
#include <map>
#include <new>
#include <ostream>

#include "cli/cli.h"
#include "cli/help_table.h"
#include "cli/options.h"
#include "model/error.h"
#include "model/language.h"
#include "model/shown_text.h"
#include "report/failure_text.h"
#include "trelmox/version.h"

namespace trelmox::cli {

namespace {

using Command = std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)>;

const std::map<std::string, Command>& commands() {
    static const std::map<std::string, Command> table = {
        {"analyze", runAnalyze},
        {"probabilistic", runProbabilisticCommand},
        {"sensitivity", runSensitivityCommand},
        {"reliability", runReliabilityCommand},
        {"combinations", runCombinationsCommand},
        {"planar", runPlanarCommand},
        {"kinematics", runKinematicsCommand},
        {"cloud", runCloudCommand},
        {"report", runReportCommand},
    };
    return table;
}

} // namespace

int run(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args;
    try {
        args = takeLanguage(given);
    } catch (const UsageError& usage) {
        err << "trelmox-cli: " << usage.what() << "\n\n" << toolUsage();
        return ExitUsage;
    }
    if (args.empty()) {
        err << toolUsage();
        return ExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << toolUsage();
        return ExitOk;
    }
    if (args[0] == "--version") {
        out << "trelmox-cli " << Version << '\n';
        return ExitOk;
    }
    const auto command = commands().find(args[0]);
    if (command == commands().end()) {
        err << "trelmox-cli: unknown command '" << args[0] << "'\n\n" << toolUsage();
        return ExitUsage;
    }
    // Each command words its own failures; one that escapes it still ends
    // as a message with the status of a failed run, never as an abort.
    const std::string prefix = "trelmox-cli " + args[0] + ": ";
    try {
        return command->second(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    } catch (const Error& failure) {
        err << prefix << shownMessage(toolMessage(failure)) << '\n';
    } catch (const UsageError& usage) {
        err << prefix << usage.what() << '\n';
        return ExitUsage;
    } catch (const std::bad_alloc&) {
        err << prefix << inLanguage("内存不足，计算未完成", "out of memory; the run was not finished") << '\n';
    } catch (const std::exception& failure) {
        err << prefix << shownText(failure.what()) << '\n';
    }
    return ExitBlockFailed;
}

} // namespace trelmox::cli
