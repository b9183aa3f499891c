#pragma once
// The files an analysed block gives besides its data file: the 30-line
// report, the full analysis's report, the DXF drawing and the two pictures.
// Their names and the writers that make them are known here alone; the
// tool, the Python module and the windows' commands choose the folders and
// the outputs, and hold their own rules about what may be replaced.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "analysis/block_analysis.h"
#include "model/datafile.h"
#include "model/loads.h"
#include "report/figures.h"

namespace trelmox::commands {

// The outputs of a block, in the order they are written.
enum class BlockOutput {
    Report,     // <name>.txt, the 30-line report
    FullReport, // the full analysis's report: only for a block with loads
    Drawing,    // the DXF wire frame
    Pictures,   // the stereonet and the wedge view, SVG, written together
};

// The folder each kind of output goes to; none: not written.
struct ExportFolders {
    std::optional<std::filesystem::path> Reports, Drawings, Pictures;
    bool any() const { return Reports || Drawings || Pictures; }
};

// One output of a block and the files it writes.
struct PlannedOutput {
    BlockOutput Output;
    std::filesystem::path Folder;
    std::vector<std::filesystem::path> Files;
};

// The files `output` of the block named `blockName` writes in `folder`.
std::vector<std::filesystem::path> outputFiles(BlockOutput output, const std::filesystem::path& folder,
                                               const std::string& blockName);

// Every output the folders ask for, in the order written; the full report
// is listed with the reports, since whether the block has loads is known
// only once its companion file is read.
std::vector<PlannedOutput> blockOutputs(const std::string& blockName, const ExportFolders& to);

// What the writers take from an analysed block.
struct ExportedBlock {
    std::string Name;
    // The texts as saved (or entered): the report repeats them as typed.
    SavedBlock Saved;
    // The block's loads; none for a block without a companion file, which
    // then gets no full report and the plain wedge in its picture.
    std::optional<WedgeLoads> Loads;
    // The run: its corners for the drawing and the pictures, its full
    // analysis for the full report (the corners alone for a drawing).
    const BlockRun* Run = nullptr;
    // The figures the report shows; none: the result lines stay empty.
    std::optional<FigureTexts> Figures;
};

// A block the tool or the module has run to Kc, its figures those of the
// run.
ExportedBlock analysedExport(const std::string& name, const SavedBlock& saved, const std::optional<WedgeLoads>& loads,
                             const BlockRun& run);

// Whether `output` is written for this block at all: the full report only
// for a block with loads whose full analysis was worked out.
bool writesOutput(BlockOutput output, const ExportedBlock& block);

// Writes one output of the block into `folder`, each file replaced whole,
// and returns the files written: none for a full report without loads or
// without the full analysis. Throws what stops a writer (a name that would
// write outside the folder, a file that cannot be written).
std::vector<std::filesystem::path> writeBlockOutput(BlockOutput output, const std::filesystem::path& folder,
                                                    const ExportedBlock& block);

} // namespace trelmox::commands
