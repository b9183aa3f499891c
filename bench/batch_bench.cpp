// The command-line batch: 10,000 block files analysed with reports and
// drawings, against the floor the disk sets, a plain loop writing the same
// bytes to as many files.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace fs = std::filesystem;

namespace {

constexpr int Blocks = 10'000;

// The example block under 10,000 names, with slope heights 20 to 60 so that
// the blocks differ. Made once, removed at exit.
struct BatchFolder {
    fs::path root = fs::temp_directory_path() / ("trelmox-batch-bench-" + std::to_string(::getpid()));
    std::vector<std::string> files;

    BatchFolder() {
        fs::create_directories(root / "blocks");
        std::ifstream in(TRELMOX_SOURCE_DIR "/examples/example.txt", std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line + "\n");
        for (int i = 0; i < Blocks; ++i) {
            lines[10] = std::to_string(20 + i % 41) + "\r\n"; // slope height
            files.push_back((root / "blocks" / ("block" + std::to_string(i) + ".txt")).string());
            std::ofstream out(files.back(), std::ios::binary);
            for (const std::string& line : lines) out << line;
        }
    }
    ~BatchFolder() { fs::remove_all(root); }
};

BatchFolder& batchFolder() {
    static BatchFolder folder;
    return folder;
}

using Clock = std::chrono::steady_clock;
// Per output folder of the batch, its files: name and bytes.
using Outputs = std::vector<std::vector<std::pair<std::string, std::string>>>;

// A new folder for one side of one iteration. Both sides get theirs at the
// same moment, so that the file system places and allocates them alike:
// the cost of creating a file depends much on where its inode goes.
fs::path freshFolder(const fs::path& root, const std::string& name, int iteration) {
    const fs::path dir = root / (name + std::to_string(iteration));
    fs::create_directories(dir);
    return dir;
}

double analyseBatch(const BatchFolder& folder, const fs::path& reports, const fs::path& dxf) {
    std::vector<std::string> args = {"analyze",        "--format",  "json",      "--report-dir",
                                     reports.string(), "--dxf-dir", dxf.string()};
    args.insert(args.end(), folder.files.begin(), folder.files.end());
    std::ostringstream out, err;
    const auto start = Clock::now();
    if (trelmox::cli::run(args, out, err) != 0) throw std::runtime_error(err.str());
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Outputs readOutputs(const std::vector<fs::path>& dirs) {
    Outputs outputs;
    for (const fs::path& dir : dirs) {
        outputs.emplace_back();
        for (const auto& entry : fs::directory_iterator(dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            outputs.back().emplace_back(entry.path().filename().string(),
                                        std::string(std::istreambuf_iterator<char>(in), {}));
        }
    }
    return outputs;
}

// The floor: the same bytes to as many new files in as many folders, by
// fopen/fwrite.
double writePlain(const Outputs& outputs, const std::vector<fs::path>& dirs) {
    const auto start = Clock::now();
    for (std::size_t d = 0; d < outputs.size(); ++d)
        for (const auto& [name, bytes] : outputs[d]) {
            std::FILE* file = std::fopen((dirs[d] / name).c_str(), "wb");
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The batch's time per iteration, with the floor measured beside it (in
// turn before and after, so neither side always meets the file system
// first) and their ratio as counters.
void BM_CliBatch(benchmark::State& state) {
    const BatchFolder& folder = batchFolder();
    Outputs outputs;
    double batchSeconds = 0, floorSeconds = 0;
    int iteration = 0;
    for (auto _ : state) {
        const fs::path reports = freshFolder(folder.root, "reports", iteration);
        const fs::path dxf = freshFolder(folder.root, "dxf", iteration);
        const std::vector<fs::path> plain = {freshFolder(folder.root, "floor-reports", iteration),
                                             freshFolder(folder.root, "floor-dxf", iteration)};
        double batch = 0, floor = 0;
        if (outputs.empty() || iteration % 2 == 0) {
            batch = analyseBatch(folder, reports, dxf);
            if (outputs.empty()) outputs = readOutputs({reports, dxf});
            floor = writePlain(outputs, plain);
        } else {
            floor = writePlain(outputs, plain);
            batch = analyseBatch(folder, reports, dxf);
        }
        state.SetIterationTime(batch);
        batchSeconds += batch;
        floorSeconds += floor;
        ++iteration;
    }
    state.counters["floor_ms"] = 1000 * floorSeconds / iteration;
    state.counters["batch_per_floor"] = batchSeconds / floorSeconds;
}
BENCHMARK(BM_CliBatch)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);

} // namespace
