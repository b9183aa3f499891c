#include "commands/block_exports.h"

#include "drawing/block_pictures.h"
#include "drawing/dxf.h"
#include "model/error.h"
#include "model/language.h"
#include "report/full_report.h"
#include "report/report.h"

namespace trelmox::commands {

std::vector<std::filesystem::path> outputFiles(BlockOutput output, const std::filesystem::path& folder,
                                               const std::string& blockName) {
    switch (output) {
    case BlockOutput::Report: return {folder / (blockName + ".txt")};
    case BlockOutput::FullReport: return {fullReportPath(folder, blockName)};
    case BlockOutput::Drawing: return {folder / dxfFileName(blockName)};
    case BlockOutput::Pictures: return {folder / stereonetFileName(blockName), folder / wedgeViewFileName(blockName)};
    }
    return {};
}

std::vector<PlannedOutput> blockOutputs(const std::string& blockName, const ExportFolders& to) {
    std::vector<PlannedOutput> outputs;
    const auto add = [&](BlockOutput output, const std::optional<std::filesystem::path>& folder) {
        if (folder) outputs.push_back({output, *folder, outputFiles(output, *folder, blockName)});
    };
    add(BlockOutput::Report, to.Reports);
    add(BlockOutput::FullReport, to.Reports);
    add(BlockOutput::Drawing, to.Drawings);
    add(BlockOutput::Pictures, to.Pictures);
    return outputs;
}

ExportedBlock analysedExport(const std::string& name, const SavedBlock& saved, const std::optional<WedgeLoads>& loads,
                             const BlockRun& run) {
    return {name, saved, loads, &run, figureTexts(*run.Geometry, *run.Safety)};
}

namespace {

const BlockRun& runOf(const ExportedBlock& block) {
    if (!block.Run) throw Error(inLanguage("块体尚未分析", "the block has not been analysed"));
    return *block.Run;
}

const BlockVertices& cornersOf(const ExportedBlock& block) {
    const BlockRun& run = runOf(block);
    if (!run.Vertices) throw Error(inLanguage("尚未求出块体的角点", "the block's corners have not been worked out"));
    return *run.Vertices;
}

} // namespace

bool writesOutput(BlockOutput output, const ExportedBlock& block) {
    return output != BlockOutput::FullReport || (block.Loads && runOf(block).Full);
}

std::vector<std::filesystem::path> writeBlockOutput(BlockOutput output, const std::filesystem::path& folder,
                                                    const ExportedBlock& block) {
    switch (output) {
    case BlockOutput::Report:
        writeReport(folder, reportInputs(block.Name, block.Saved, block.Figures ? &*block.Figures : nullptr));
        break;
    case BlockOutput::FullReport:
        if (!writesOutput(output, block)) return {};
        writeFullReport(folder, block.Name, block.Saved, *block.Run);
        break;
    case BlockOutput::Drawing: writeDxf(folder, block.Name, cornersOf(block)); break;
    case BlockOutput::Pictures: {
        const BlockRun& run = runOf(block);
        const WedgeLoads loads = block.Loads.value_or(WedgeLoads{});
        // Only a block with loads shows the real wedge with its forces: a
        // block without them is drawn as it always was.
        const FullAnalysis* full = block.Loads && run.Full ? &run.Full->Analysis : nullptr;
        writeBlockPictures(folder, block.Name, run.Input.Attitudes, run.Input.Parameters, loads,
                           blockScene(cornersOf(block), full, loads));
        break;
    }
    }
    return outputFiles(output, folder, block.Name);
}

} // namespace trelmox::commands
