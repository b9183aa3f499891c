#pragma once
// The block a picture window shows, as the windows hold it when the
// picture is asked for: the confirmed planes, the parameter boxes' texts and
// the block's name.
#include <QString>

#include <functional>
#include <optional>

#include "model/block.h"

namespace trelmox::views {

struct ViewedBlock {
    QString Name;
    PlaneAttitudeArray Attitudes{};
    PlaneQuadrantArray Quadrants{};
    TWedgeParams Params{};
    QString PictureFolder; // where saving a picture starts
};

// Whether two descriptions give the same analysis: name, planes and
// parameters alike.
bool sameBlock(const ViewedBlock& a, const ViewedBlock& b);

// Called each time a window refreshes or starts an analysis.
using BlockSource = std::function<ViewedBlock()>;

// The corners computed as the drawing export computes them, from the
// block's own planes and slope height; nothing, with the reason shown to
// the user, when a text is not a number or a triple of planes cuts out no
// corner.
struct BlockCorners {
    std::optional<BlockVertices> Vertices;
    QString Problem;
};
BlockCorners blockCorners(const ViewedBlock& block);

// "<folder>/<block name><caption>.png"
QString suggestedPicturePath(const ViewedBlock& block, const QString& caption);

// The name written on the block's pictures, "楔块 W1"; none before a
// block is confirmed.
std::string pictureCaption(const ViewedBlock& block);

// "楔块名称：W1", or a note that no block has been confirmed yet.
QString blockCaption(const ViewedBlock& block);

} // namespace trelmox::views
