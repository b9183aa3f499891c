#include "ui/views/viewed_block.h"

#include <QDir>

#include "analysis/block_analysis.h"
#include "drawing/block_pictures.h"

namespace trelmox::views {

BlockCorners blockCorners(const ViewedBlock& block) {
    const trelmox::BlockCorners corners = trelmox::blockCorners(block.Quadrants, block.Params.SlopeHeight);
    return {corners.Vertices, QString::fromStdString(corners.problemText())};
}

bool sameBlock(const ViewedBlock& a, const ViewedBlock& b) {
    return a.Name == b.Name && a.Attitudes == b.Attitudes && a.Params == b.Params;
}

QString suggestedPicturePath(const ViewedBlock& block, const QString& caption) {
    return QDir(block.PictureFolder).filePath(block.Name + caption + QStringLiteral(".png"));
}

std::string pictureCaption(const ViewedBlock& block) {
    return block.Name.isEmpty() ? std::string() : trelmox::blockCaption(block.Name.toStdString());
}

QString blockCaption(const ViewedBlock& block) {
    return block.Name.isEmpty() ? QStringLiteral("楔块名称：（尚未确认块体）") : QStringLiteral("楔块名称：") + block.Name;
}

} // namespace trelmox::views
