#include "ui/views/viewed_block.h"

#include <QCoreApplication>
#include <QDir>

#include "analysis/block_analysis.h"
#include "document/block_document.h"
#include "document/report_inputs.h"
#include "drawing/block_pictures.h"
#include "model/error.h"
#include "model/language.h"

namespace trelmox::views {

void convertParameters(ViewedBlock& block) {
    block.Parameters.reset();
    block.ParametersProblem.reset();
    try {
        block.Parameters = parameterNumbers(block.Params);
    } catch (const Error& failure) {
        block.ParametersProblem = failure;
    }
}

WedgeLoads enteredLoads(const ViewedBlock& block) {
    if (!block.Loads) throw Error(block.LoadsProblem.toStdString());
    return *block.Loads;
}

BlockParameters enteredParameters(const ViewedBlock& block) {
    if (block.Parameters) return *block.Parameters;
    if (block.ParametersProblem) throw *block.ParametersProblem;
    return parameterNumbers(block.Params); // a block described without convertParameters
}

bool sameBlock(const ViewedBlock& a, const ViewedBlock& b) {
    return a.Name == b.Name && a.Attitudes == b.Attitudes && a.Params == b.Params && a.Loads == b.Loads;
}

RunBasis runBasis(const ViewedBlock& block) {
    return {block.Name.toStdString(), block.Attitudes, block.Quadrants, block.Params, block.Loads};
}

namespace {

// The corners computed as the drawing export computes them, from the
// block's own planes and slope height.
BlockScene cornersScene(const ViewedBlock& block, const QString& whyNotReal) {
    const BlockCorners corners = enteredCorners(block.Quadrants, block.Params.SlopeHeight);
    if (!corners.Vertices) return {std::nullopt, QString::fromStdString(corners.problemText())};
    return {trelmox::blockScene(*corners.Vertices, nullptr, {}),
            whyNotReal + QCoreApplication::translate("ViewedBlock", "；图中为四个角点围成的四面体")};
}

} // namespace

BlockScene blockScene(const ViewedBlock& block) {
    // Planes all at 0°∠0° before a confirm cut out nothing worth a reason.
    if (block.Name.isEmpty()) return {std::nullopt, QString::fromUtf8(noConfirmedBlockMessage())};
    if (!block.Loads) return cornersScene(block, block.LoadsProblem);
    // The block's one run: the document's when it is current, else made here.
    BlockRun run;
    try {
        if (block.Run) {
            run = *block.Run;
        } else {
            // The planes' letters and angles are read before the parameters,
            // as when the block is analysed.
            BlockInput input{block.Attitudes, {}, {}};
            for (int i = 0; i < PlaneCount; ++i) input.Quadrants[i] = quadrantAttitude(block.Quadrants[i]);
            input.Parameters = enteredParameters(block);
            run = runBlock(input, *block.Loads);
        }
    } catch (const Error& failure) { // a text that is not a number
        return cornersScene(block, QString::fromUtf8(failure.what()));
    }
    if (run.Failure) return cornersScene(block, QString::fromUtf8(run.Failure->what()));
    if (!run.Full) return cornersScene(block, QString::fromStdString(run.fullFailureMessage()));
    const FullAnalysis& analysis = run.Full->Analysis;
    if (analysis.Refusal) return cornersScene(block, QString::fromStdString(refusalMessage(*analysis.Refusal)));
    return {trelmox::blockScene({}, &analysis, *block.Loads), {}};
}

QString suggestedPicturePath(const ViewedBlock& block, const QString& caption) {
    return QDir(block.PictureFolder).filePath(pictureFileName(block.Name, caption));
}

// Chinese runs the name and the caption together ("W1敏感性分析.png"), as the
// drawing's "W1block.dxf"; English words need a space between them.
QString pictureFileName(const QString& name, const QString& caption) {
    const bool spaced = !name.isEmpty() && messageLanguage() == Language::English;
    return name + (spaced ? QStringLiteral(" ") : QString()) + caption + QStringLiteral(".png");
}

std::string pictureCaption(const ViewedBlock& block) {
    return block.Name.isEmpty() ? std::string() : trelmox::blockCaption(block.Name.toStdString());
}

QString blockCaption(const ViewedBlock& block) {
    return block.Name.isEmpty() ? QCoreApplication::translate("ViewedBlock", "楔块名称：（尚未确认块体）")
                                : QCoreApplication::translate("ViewedBlock", "楔块名称：") + block.Name;
}

} // namespace trelmox::views
