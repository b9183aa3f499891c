#include "commands/block_exports.h"

#include <gtest/gtest.h>

#include "model/files.h"
#include "report/report.h"
#include "tests/model/test_blocks.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using namespace trelmox::commands;
using trelmox::testing::TempFolder;

namespace {

struct Analysed {
    SavedBlock saved = trelmox::testing::exampleBlock();
    BlockRun run;
    explicit Analysed(const WedgeLoads& loads = {}) : run(runBlock(blockInput(saved), loads)) {}
};

} // namespace

// The files the list names for each folder choice are the files each output
// writes, and the list keeps the order of writing: a guard that checks the
// listed names checks what is written.
TEST(BlockExports, ListedFilesAreTheFilesWritten) {
    TempFolder folder;
    const std::filesystem::path reports = folder.path() / "r", drawings = folder.path() / "d",
                                pictures = folder.path() / "p";
    for (const auto& made : {reports, drawings, pictures}) std::filesystem::create_directories(made);
    const struct {
        ExportFolders to;
        std::vector<BlockOutput> listed;
    } cases[] = {
        {{}, {}},
        {{reports, std::nullopt, std::nullopt}, {BlockOutput::Report, BlockOutput::FullReport}},
        {{std::nullopt, drawings, pictures}, {BlockOutput::Drawing, BlockOutput::Pictures}},
        {{reports, drawings, pictures},
         {BlockOutput::Report, BlockOutput::FullReport, BlockOutput::Drawing, BlockOutput::Pictures}},
    };
    const Analysed block;
    const ExportedBlock exported = analysedExport("W1", block.saved, block.run.Loads, block.run);
    ASSERT_TRUE(block.run.Full);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::vector<PlannedOutput> outputs = blockOutputs("W1", cases[i].to);
        ASSERT_EQ(outputs.size(), cases[i].listed.size()) << i;
        for (std::size_t k = 0; k < outputs.size(); ++k) {
            EXPECT_EQ(outputs[k].Output, cases[i].listed[k]) << i;
            for (const auto& file : outputs[k].Files) EXPECT_EQ(file.parent_path(), outputs[k].Folder) << i;
            EXPECT_EQ(writeBlockOutput(outputs[k].Output, outputs[k].Folder, exported), outputs[k].Files) << i;
            for (const auto& file : outputs[k].Files) EXPECT_TRUE(std::filesystem::exists(file)) << file;
        }
    }
}

// Only a block with loads gets the full report, and only when its full
// analysis was worked out; the report is the 30-line report of the block's
// texts and the run's figures.
TEST(BlockExports, FullReportOnlyForABlockWithLoads) {
    TempFolder folder;
    const Analysed plain;
    const ExportedBlock withoutLoads = analysedExport("W1", plain.saved, std::nullopt, plain.run);
    EXPECT_FALSE(writesOutput(BlockOutput::FullReport, withoutLoads));
    EXPECT_TRUE(writeBlockOutput(BlockOutput::FullReport, folder.path(), withoutLoads).empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

    const ExportedBlock withLoads = analysedExport("W1", plain.saved, WedgeLoads{}, plain.run);
    EXPECT_EQ(writesOutput(BlockOutput::FullReport, withLoads), plain.run.Full.has_value());

    writeBlockOutput(BlockOutput::Report, folder.path(), withoutLoads);
    const FigureTexts figures = figureTexts(*plain.run.Geometry, *plain.run.Safety);
    EXPECT_EQ(readTextFile(folder.path() / "W1.txt"), reportText(reportInputs("W1", plain.saved, &figures)));
}
