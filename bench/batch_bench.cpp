// The command-line batch: 10,000 block files analysed with reports and
// drawings, against the floor the disk sets, a plain loop writing the same
// bytes to as many files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
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

// Both sides write new files into empty folders, outside the timing.
void emptyFolders(benchmark::State& state, const std::vector<fs::path>& dirs) {
    state.PauseTiming();
    for (const fs::path& dir : dirs) {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    state.ResumeTiming();
}

void BM_CliBatch(benchmark::State& state) {
    BatchFolder& folder = batchFolder();
    std::vector<std::string> args = {"analyze", "--format", "json", "--report-dir", (folder.root / "reports").string(),
                                     "--dxf-dir", (folder.root / "dxf").string()};
    args.insert(args.end(), folder.files.begin(), folder.files.end());
    for (auto _ : state) {
        emptyFolders(state, {folder.root / "reports", folder.root / "dxf"});
        std::ostringstream out, err;
        if (trelmox::cli::run(args, out, err) != 0) state.SkipWithError(err.str().c_str());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * Blocks);
}
BENCHMARK(BM_CliBatch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The reports and drawings the batch wrote, written again by fopen/fwrite.
void BM_PlainWriteFloor(benchmark::State& state) {
    BatchFolder& folder = batchFolder();
    std::vector<std::pair<fs::path, std::string>> outputs;
    for (const char* dir : {"reports", "dxf"})
        for (const auto& entry : fs::directory_iterator(folder.root / dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            outputs.emplace_back(folder.root / "floor" / (std::string(dir) + "-" + entry.path().filename().string()),
                                 std::string(std::istreambuf_iterator<char>(in), {}));
        }
    if (outputs.size() != 2 * Blocks) state.SkipWithError("run BM_CliBatch first");
    for (auto _ : state) {
        emptyFolders(state, {folder.root / "floor"});
        for (const auto& [path, bytes] : outputs) {
            std::FILE* file = std::fopen(path.c_str(), "wb");
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * Blocks);
}
BENCHMARK(BM_PlainWriteFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
