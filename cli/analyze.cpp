// trelmox-cli analyze: a batch of block data files, one outcome per file.
// One bad block never stops the batch; its failure is reported in its row.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <utility>
#include <vector>

#include "analysis/block_analysis.h"
#include "analysis/block_outcome.h"
#include "cli/cli.h"
#include "cli/destination.h"
#include "cli/help_table.h"
#include "cli/loads.h"
#include "cli/options.h"
#include "commands/block_exports.h"
#include "document/block_outcome.h"
#include "model/attitude.h"
#include "model/block_names.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/files.h"
#include "model/language.h"
#include "model/output_guard.h"
#include "model/shown_text.h"
#include "report/failure_text.h"
#include "report/outcome_formats.h"
#include "report/size_text.h"

namespace trelmox::cli {

namespace {

using commands::BlockOutput;
using commands::ExportFolders;
using commands::PlannedOutput;

void analyseFile(const RunInput& input, const ExportFolders& to, OutputGuard& guard, BlockOutcome& outcome) {
    // A name that would write outside the chosen folders, or outputs that
    // would replace a file of the run, fail the block before any analysis,
    // so its row never shows results beside the error.
    const std::vector<PlannedOutput> outputs = commands::blockOutputs(outcome.block, to);
    const auto check = [&](bool fullReport) {
        for (const PlannedOutput& output : outputs)
            if ((output.Output == BlockOutput::FullReport) == fullReport)
                for (const auto& file : output.Files) guard.check(file, input.number);
    };
    if (to.any()) checkBlockName(outcome.block);
    check(false);

    const ParsedBlock block = readSavedBlock(input.file);
    // Only a block with loads gets the full report and the real wedge with
    // its forces in the picture: a batch of blocks without companion files
    // leaves exactly the files it left before.
    const std::optional<WedgeLoads> companion = dataFileCompanion(input.file);
    if (companion) check(true);
    analyseBlock(block, companion.value_or(WedgeLoads{}), outcome);
    if (outputs.empty()) return;

    const commands::ExportedBlock exported = commands::analysedExport(outcome.block, block, companion, *outcome.run);
    for (const PlannedOutput& output : outputs)
        if (commands::writesOutput(output.Output, exported))
            writeOutputs(output.Files, input, guard,
                         [&] { commands::writeBlockOutput(output.Output, output.Folder, exported); });
}

} // namespace

namespace {

BlockOutcome analyseOne(const RunInput& input, const ExportFolders& to, OutputGuard& guard) {
    BlockOutcome outcome;
    outcome.block = blockNameOf(input.file);
    try {
        analyseFile(input, to, guard, outcome);
    } catch (const Error& failure) {
        outcome.error = failure.reworded(fileFailureText(input.file, failure));
    }
    return outcome;
}

// Whether no two blocks of the run would write a file of the same name in
// the same folder (letters compared without case, for file systems that
// ignore it). Only then may the blocks be analysed side by side: the
// guard's rule that a later input never replaces an earlier one's output
// depends on their order.
bool outputsNamedOnce(const std::vector<std::string>& inputs, const ExportFolders& to) {
    std::map<std::filesystem::path, std::string> folderKeys;
    const auto folderKey = [&](const std::filesystem::path& folder) -> const std::string& {
        auto [found, added] = folderKeys.try_emplace(folder);
        if (struct stat status{}; added && ::stat(folder.c_str(), &status) == 0)
            found->second = std::to_string(status.st_dev) + ':' + std::to_string(status.st_ino);
        else if (added)
            found->second = folder.string();
        return found->second;
    };
    std::set<std::pair<std::string, std::string>> names;
    for (const std::string& input : inputs) {
        const std::string name = blockNameOf(input);
        try {
            checkBlockName(name);
        } catch (const Error&) {
            continue; // fails before writing anything
        }
        for (const PlannedOutput& output : commands::blockOutputs(name, to))
            for (const auto& path : output.Files) {
                std::string file = path.filename().string();
                std::transform(file.begin(), file.end(), file.begin(), [](unsigned char c) { return std::tolower(c); });
                if (!names.emplace(folderKey(path.parent_path()), file).second) return false;
            }
    }
    return true;
}

// The blocks analysed on every core, each as by itself; `print` gets the
// outcomes in the inputs' order, on this thread, as soon as each and all
// before it are done. A failure other than a block's stops the batch.
template <class Print>
void analyseOnAllCores(const std::vector<std::string>& inputs, const ExportFolders& to, OutputGuard& guard,
                       const Print& print) {
    const std::size_t count = inputs.size();
    // Pointers: an outcome is kilobytes, and most are printed and gone
    // before the last is made.
    std::vector<std::unique_ptr<BlockOutcome>> done(count);
    std::mutex mutex;
    std::condition_variable ready;
    std::exception_ptr failure;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::size_t awaited = 0; // the outcome `print` waits for
    const auto work = [&] {
        for (std::size_t i = next++; i < count && !stop; i = next++) {
            try {
                auto outcome = std::make_unique<BlockOutcome>(analyseOne({i, inputs[i]}, to, guard));
                std::unique_lock lock(mutex);
                done[i] = std::move(outcome);
                // Woken only when waited for: a wake-up is a system call.
                if (i != awaited) continue;
            } catch (...) {
                const std::lock_guard lock(mutex);
                if (!failure) failure = std::current_exception();
                stop = true;
            }
            ready.notify_one();
        }
    };
    const std::size_t threads = std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), count);
    std::vector<std::jthread> workers;
    try {
        for (std::size_t t = 0; t < threads; ++t) workers.emplace_back(work);
        for (std::size_t i = 0; i < count; ++i) {
            std::unique_lock lock(mutex);
            // Waiting, wait for a run of outcomes rather than each: every
            // wake-up is a switch of threads.
            if (!done[i] && !failure) {
                awaited = std::min(i + 31, count - 1);
                ready.wait(lock, [&] { return done[awaited] || failure; });
                awaited = i;
                ready.wait(lock, [&] { return done[i] || failure; });
            }
            if (failure) std::rethrow_exception(failure);
            const std::unique_ptr<BlockOutcome> outcome = std::move(done[i]);
            lock.unlock();
            print(*outcome);
        }
    } catch (...) {
        stop = true;
        throw; // the workers finish the block each is on and are joined
    }
}

// Whether some block's companion file gives a plane a strength of its own,
// so that the CSV gets its columns before the first row. A companion file
// that cannot be read fails its block later, in its row.
bool anyStrengthModel(const std::vector<std::string>& inputs) {
    return std::any_of(inputs.begin(), inputs.end(), [](const std::string& input) {
        try {
            const std::optional<WedgeLoads> loads = dataFileCompanion(input);
            return loads && !plainStrengths(loads->Strength);
        } catch (const Error&) {
            return false;
        }
    });
}

} // namespace

int runAnalyze(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    std::string format;
    ExportFolders to;
    try {
        parsed = parseCommand("analyze", args);
        format = parsed.choice("format", {"text", "json", "csv", "xlsx"}, "text");
        to = {parsed.folder("report-dir"), parsed.folder("dxf-dir"), parsed.folder("plot-dir")};
        if (!parsed.help && parsed.positional.empty()) throw UsageError("no block data file given");
    } catch (const UsageError& usage) {
        err << "trelmox-cli analyze: " << usage.what() << "\n\n" << commandUsage("analyze");
        return ExitUsage;
    }
    if (parsed.help) {
        out << commandUsage("analyze");
        return ExitOk;
    }
    std::optional<ResultDestination> destination;
    try {
        destination.emplace(parsed, format, parsed.positional, out);
    } catch (const UsageError& usage) {
        err << "trelmox-cli analyze: " << usage.what() << "\n\n" << commandUsage("analyze");
        return ExitUsage;
    }
    try {
        destination->check();
    } catch (const Error& failure) {
        err << "trelmox-cli analyze: " << shownMessage(toolMessage(failure)) << '\n';
        return ExitBlockFailed;
    }

    OutputGuard guard(parsed.positional);
    const auto printer =
        makeOutcomePrinter(format, destination->stream(), format == "csv" && anyStrengthModel(parsed.positional));
    bool anyFailed = false;
    const auto print = [&](const BlockOutcome& outcome) {
        anyFailed = anyFailed || outcome.error.has_value() || fsFailed(outcome);
        printer->print(outcome);
    };
    if (outputsNamedOnce(parsed.positional, to)) {
        guard.namesAreUnique();
        analyseOnAllCores(parsed.positional, to, guard, print);
    } else {
        for (std::size_t i = 0; i < parsed.positional.size(); ++i)
            print(analyseOne({i, parsed.positional[i]}, to, guard));
    }
    try {
        printer->finish();
        destination->finish();
    } catch (const Error& failure) {
        err << "trelmox-cli analyze: " << shownMessage(toolMessage(failure)) << '\n';
        return ExitBlockFailed;
    }
    return anyFailed ? ExitBlockFailed : ExitOk;
}

} // namespace trelmox::cli
