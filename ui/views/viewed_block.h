#pragma once
// The block a picture window shows, as the windows hold it when the
// picture is asked for: the confirmed planes, the parameter boxes' texts,
// the loads entered for it and the block's name.
#include <QString>

#include <functional>
#include <optional>

#include "analysis/block_analysis.h"
#include "document/study_records.h"
#include "drawing/wedge_view.h"
#include "model/block.h"
#include "model/block_input.h"
#include "model/error.h"
#include "model/loads.h"

namespace trelmox::views {

struct ViewedBlock {
    QString Name;
    PlaneAttitudeArray Attitudes{};
    PlaneQuadrantArray Quadrants{};
    TWedgeParams Params{};
    QString PictureFolder; // where saving a picture starts
    // Absent when a loads text does not convert; LoadsProblem then says which.
    std::optional<WedgeLoads> Loads = WedgeLoads{};
    QString LoadsProblem;
    // The document's last analysis when it belongs to this block and these
    // loads: the view then draws it rather than working it out again.
    std::optional<BlockRun> Run;
    // The parameters as numbers (convertParameters); absent when a text is
    // not a number, ParametersProblem then holds its error.
    std::optional<BlockParameters> Parameters;
    std::optional<Error> ParametersProblem;
};

// Converts the parameter texts once, when the block is taken from the
// windows, for every picture and study made of it.
void convertParameters(ViewedBlock& block);
// The block's loads; throws Error(LoadsProblem) when they do not convert.
WedgeLoads enteredLoads(const ViewedBlock& block);
// The block's parameters; throws ParametersProblem when they do not convert.
BlockParameters enteredParameters(const ViewedBlock& block);
// Whether two descriptions give the same analysis: name, planes,
// parameters and loads alike.
bool sameBlock(const ViewedBlock& a, const ViewedBlock& b);

// The block as the document records what an analysis was run on.
RunBasis runBasis(const ViewedBlock& block);

// Called each time a window refreshes or starts an analysis.
using BlockSource = std::function<ViewedBlock()>;

// What the 3D view shows: the real wedge with its loads; where the planes
// cut out no real wedge (or the loads do not convert), the tetrahedron of
// the corners that the drawing export computes, with the reason; nothing,
// with the reason, when a text is not a number or a triple of planes cuts
// out no corner.
struct BlockScene {
    std::optional<WedgeScene> Scene;
    QString Problem;
};
BlockScene blockScene(const ViewedBlock& block);

// "<folder>/<block name><caption>.png"
QString suggestedPicturePath(const ViewedBlock& block, const QString& caption);
// "<name><caption>.png" in the interface's language.
QString pictureFileName(const QString& name, const QString& caption);

// The name written on the block's pictures, "楔块 W1"; none before a
// block is confirmed.
std::string pictureCaption(const ViewedBlock& block);

// "楔块名称：W1", or a note that no block has been confirmed yet.
QString blockCaption(const ViewedBlock& block);

} // namespace trelmox::views
