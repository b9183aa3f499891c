// The calculation report of one block as a PDF file, with every picture it
// can hold: the stereonet, the 3D view, the histograms of Kc and Fs and the
// sensitivity plot. Timed from the block's results to the file on disk - what
// "生成计算书" does after a run - with the loads of a full analysis, so that
// every table is there too. The probabilistic and sensitivity runs are made
// once beforehand: the report shows them, it does not redo them.

#include <benchmark/benchmark.h>

#include "bench/gui_application.h"

#include <filesystem>
#include <string>

#include <unistd.h>

#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sensitivity.h"
#include "bench/example.h"
#include "model/companion.h"
#include "paint/report_pages.h"
#include "document/report_inputs.h"
#include "report/calculation_report.h"

using namespace trelmox;

namespace {

CalculationReportInputs exampleWithAllPictures() {
    const SavedBlock& block = bench::exampleBlock();
    CalculationReportInputs in = analysedReportInputs(
        "example", block, blockLoads(TRELMOX_SOURCE_DIR "/tests/data", "example_loads"), "2026-12-08");
    ProbabilisticSettings settings;
    settings.Distributions[static_cast<int>(Parameter::Friction1)] = normalDistribution(0.05);
    settings.Distributions[static_cast<int>(Parameter::Dip1)] = normalDistribution(2);
    in.Probabilistic =
        ProbabilisticRun{settings, runProbabilistic(block.Attitudes, parameterNumbers(block.Params), settings)};
    in.Sensitivity =
        sensitivityRun(Parameter::Friction1,
                       runSensitivity(block.Attitudes, parameterNumbers(block.Params), Parameter::Friction1, 0, 1, 20),
                       in.Facts.Values);
    return in;
}

// The report built (full analysis, support design, figures), laid out on
// its pages and written to the file. The first iteration in the process
// also loads the font; Google Benchmark's own warm-up runs take that out.
void BM_ReportPdf(benchmark::State& state) {
    ensureGuiApplication();
    const CalculationReportInputs inputs = exampleWithAllPictures();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("trelmox-report-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path pdf = folder / calculationReportFileName(inputs.BlockName);
    for (auto _ : state) paint::writeReportPdf(pdf, calculationReport(inputs));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(pdf));
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReportPdf)->Unit(benchmark::kMillisecond)->UseRealTime()->MinWarmUpTime(0.2);

} // namespace
