#pragma once
// trelmox-cli: the headless tool over the engine. Commands take their
// arguments (without the program name) and write to the given streams, so
// tests drive them in-process. Exit statuses: 0 every block analysed,
// 1 some block failed, 2 usage error, 130 stopped by Ctrl-C.
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace trelmox {
struct CalculationReport;
}

namespace trelmox::cli {

inline constexpr int ExitOk = 0;
inline constexpr int ExitBlockFailed = 1;
inline constexpr int ExitUsage = 2;
inline constexpr int ExitInterrupted = 130; // 128 + SIGINT, as shells report a Ctrl-C

// Dispatches to the command named by args[0].
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

int runAnalyze(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runProbabilisticCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runSensitivityCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runReliabilityCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runCombinationsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runPlanarCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runKinematicsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int runCloudCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// Runs trelmox-report beside the running program with the same arguments,
// relaying its output and returning its status.
int runReportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The report command itself, for the program that can write PDF files.
using PdfWriter = std::function<void(const std::filesystem::path&, const CalculationReport&)>;
int runReportBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const PdfWriter& write);

} // namespace trelmox::cli
