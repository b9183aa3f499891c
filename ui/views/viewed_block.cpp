#include "ui/views/viewed_block.h"

#include <QDir>
#include <QStringList>

#include "drawing/block_pictures.h"
#include "analysis/vertices.h"
#include "model/error.h"

namespace trelmox::views {

BlockCorners blockCorners(const ViewedBlock& block) {
    try {
        VertexGeometry geometry; // fresh: never corners of another block
        const auto failed = geometry.computeForBlock(block.Quadrants, block.Params.SlopeHeight);
        if (failed.empty()) return {geometry.vertices(), {}};
        QStringList messages;
        for (const FailedTriple& triple : failed) messages << QString::fromStdString(failedTripleMessage(triple));
        return {std::nullopt, messages.join(QStringLiteral("；"))};
    } catch (const Error& error) {
        return {std::nullopt, QString::fromStdString(error.what())};
    }
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
