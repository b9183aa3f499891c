#include "document/block_document.h"

#include "model/attitude.h"
#include "model/block_names.h"
#include "model/companion.h"
#include "model/error.h"
#include "model/files.h"
#include "model/language.h"
#include "model/numtext.h"
#include "model/parameter_fields.h"

#include <cmath>
#include <string_view>

namespace trelmox {

const char* noConfirmedBlockMessage() {
    return inLanguage(NoConfirmedBlockMessage, "No block is confirmed yet: enter the block's name and its planes under "
                                               "\"Plane Data\" and press \"OK\"");
}

const char* staleResultsNote() { return inLanguage(StaleResultsNote, "The results are out of date: analyse again"); }

namespace {

// The strike angle counts only where the letters form a combination the
// conversion reads (the dip quadrant on a side the strike allows).
bool lettersConverted(const TPlaneQuadrant& q) {
    const auto dipEW = MatchDipEW(q.StrikeNS, q.StrikeEW, q.DipNS);
    return dipEW && *dipEW == q.DipEW;
}

void checkQuadrantAngles(const PlaneQuadrantArray& quadrants, const PlaneAttitudeArray& attitudes) {
    for (int i = 0; i < PlaneCount; ++i) {
        if (lettersConverted(quadrants[i])) requireAngle(i, "走向角", textToFloat(quadrants[i].StrikeAngle), 90);
        requireAngle(i, "倾角", attitudes[i].DipAngle, 90);
    }
}

void checkDipAngles(const PlaneAttitudeArray& attitudes) {
    for (int i = 0; i < PlaneCount; ++i) {
        requireAngle(i, "倾角", attitudes[i].DipAngle, 90);
        requireAngle(i, "倾向", attitudes[i].DipDirection, 360);
    }
}

// The letter box to correct when a plane's letters form no attitude: the
// first that holds a letter its box does not offer, else the dip E/W
// letter, which with the others gives the dip quadrant.
const char* offendingLetter(const TPlaneQuadrant& q) {
    if (q.StrikeNS != "N") return "StrikeNS";
    if (q.StrikeEW != "E" && q.StrikeEW != "W") return "StrikeEW";
    if (q.DipNS != "N" && q.DipNS != "S") return "DipNS";
    return "DipEW";
}

// The refusal names the box and the plane, so that the window can put the
// focus there.
void requireLetters(int plane, const TPlaneQuadrant& q) {
    try {
        requireAttitudeLetters(q);
    } catch (const Error& refusal) {
        throw refusal.withField(offendingLetter(q)).withRow(plane);
    }
}

// A text read as a number whose failure names its field, and its plane
// when it is a plane's (`row`), so that the window can put the focus on
// the box that holds it.
template <typename Convert> auto fieldNumber(Convert convert, const char* field, int row = -1) {
    try {
        return convert();
    } catch (const Error& failure) {
        throw row < 0 ? failure.withField(field) : failure.withField(field).withRow(row);
    }
}

double fieldFloat(const std::string& text, const char* field, int row = -1) {
    return fieldNumber([&] { return textToFloat(text); }, field, row);
}

// A water line fills the pressure its marker names ("z" entered, "j"
// computed), and the first marker known sets the mode, so that the block
// is analysed with the pressures it was saved with.
void loadWaterPressures(const BlockDataTexts& texts, TWedgeParams& params) {
    struct WaterLine {
        const std::optional<BlockDataTexts::WaterLine>* line;
        std::string TWedgeParams::*entered;
        std::string TWedgeParams::*computed;
    };
    const WaterLine lines[] = {{&texts.Water1, &TWedgeParams::WaterPressure1, &TWedgeParams::ComputedWaterPressure1},
                               {&texts.Water2, &TWedgeParams::WaterPressure2, &TWedgeParams::ComputedWaterPressure2}};
    std::optional<TWaterPressureMode> mode;
    for (const WaterLine& water : lines) {
        if (!*water.line) continue;
        const auto& [marker, value] = **water.line;
        std::optional<TWaterPressureMode> marked;
        if (marker == "z") marked = TWaterPressureMode::Entered;
        if (marker == "j") marked = TWaterPressureMode::Computed;
        if (!marked) continue;
        params.*(*marked == TWaterPressureMode::Entered ? water.entered : water.computed) = value;
        if (!mode) mode = marked;
    }
    if (mode) params.WaterPressureMode = *mode;
}

template <typename T> bool replace(T& stored, const T& value) {
    if (stored == value) return false;
    stored = value;
    return true;
}

} // namespace

BlockDocument::BlockDocument(std::filesystem::path dataFolder, std::filesystem::path reportFolder)
    : dataFolder_(std::move(dataFolder)), reportFolder_(std::move(reportFolder)) {}

void BlockDocument::addListener(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

void BlockDocument::changed() {
    for (const auto& listener : listeners_) listener();
}

void BlockDocument::setEntryName(const std::string& name) {
    if (replace(entryName_, name)) changed();
}

void BlockDocument::setQuadrantText(int plane, std::string TPlaneQuadrant::*field, const std::string& text) {
    if (!replace(planes_.Quadrants[plane].*field, text)) return;
    planesEdited_ = true;
    showPlaneInDips(plane);
    changed();
}

void BlockDocument::setDipText(int plane, int field, const std::string& text) {
    if (!replace(planes_.Dips[plane][field], text)) return;
    planesEdited_ = true;
    showPlaneInQuadrants(plane);
    changed();
}

// Both entry notations show the one block: once a plane's texts in one
// notation make a plane (numbers in range, letters forming an attitude),
// the other notation's texts become that plane; half-typed texts leave the
// other notation alone. Only the edited notation converts, so the texts the
// user types are never rewritten under the cursor.
void BlockDocument::showPlaneInDips(int plane) {
    const TPlaneQuadrant& q = planes_.Quadrants[plane];
    try {
        const auto direction = quadrantDipDirection(q);
        const double dip = textToFloat(q.DipAngle);
        if (!direction || !(dip >= 0 && dip <= 90)) return;
        const double strike = textToFloat(q.StrikeAngle);
        if (!(strike >= 0 && strike <= 90)) return;
        // Dip directions in 0..360, as the other notation takes them.
        const double azimuth = std::fmod(std::fmod(*direction, 360.0) + 360.0, 360.0);
        planes_.Dips[plane] = {floatToText(dip), floatToText(azimuth)};
    } catch (const Error&) {}
}

void BlockDocument::showPlaneInQuadrants(int plane) {
    try {
        const double dip = textToFloat(planes_.Dips[plane][DipAngleField]);
        const double azimuth = textToFloat(planes_.Dips[plane][DipDirectionField]);
        if (!(dip >= 0 && dip <= 90 && azimuth >= 0 && azimuth <= 360)) return;
        PlaneAttitudeArray attitudes{};
        attitudes[plane] = {dip, azimuth};
        PlaneQuadrantArray quadrants = planes_.Quadrants;
        data2to1(attitudes, quadrants);
        planes_.Quadrants[plane] = quadrants[plane];
    } catch (const Error&) {}
}

void BlockDocument::matchDipLetters(int plane, bool dipNSChanged) {
    const TPlaneQuadrant& q = planes_.Quadrants[plane];
    if (dipNSChanged) {
        if (const auto dipEW = MatchDipEW(q.StrikeNS, q.StrikeEW, q.DipNS))
            setQuadrantText(plane, &TPlaneQuadrant::DipEW, *dipEW);
    } else if (const auto dipNS = MatchDipNS(q.StrikeNS, q.StrikeEW, q.DipEW)) {
        setQuadrantText(plane, &TPlaneQuadrant::DipNS, *dipNS);
    }
}

void BlockDocument::setParameterText(std::string TWedgeParams::*field, const std::string& text) {
    if (!replace(params_.*field, text)) return;
    parametersEdited_ = true;
    changed();
}

void BlockDocument::setWaterMode(TWaterPressureMode mode) {
    if (replace(params_.WaterPressureMode, mode)) {
        parametersEdited_ = true;
        changed();
    }
    if (mode != TWaterPressureMode::Computed) return;
    const std::string pressure = floatToText(ComputeWaterPressure(
        fieldFloat(params_.WaterUnitWeight, "WaterUnitWeight"), fieldFloat(params_.SlopeHeight, "SlopeHeight")));
    setParameterText(&TWedgeParams::ComputedWaterPressure1, pressure);
    setParameterText(&TWedgeParams::ComputedWaterPressure2, pressure);
}

void BlockDocument::setLoadsEntries(const LoadsEntries& entries) {
    if (!replace(loads_, entries)) return;
    loadsEdited_ = true;
    changed();
}

SavedBlock BlockDocument::block() const { return {attitudes_, quadrants_, params_}; }

bool BlockDocument::kcResultsCurrent() const {
    return results_ && analysed_.Attitudes == attitudes_ && analysed_.Quadrants == quadrants_ &&
           analysed_.Params == params_;
}

bool BlockDocument::resultsCurrent() const { return kcResultsCurrent() && analysedLoads_ == loads_; }

std::optional<FigureTexts> BlockDocument::figures() const {
    if (!kcResultsCurrent()) return std::nullopt;
    return figureTexts(*results_->Geometry, *results_->Safety);
}

std::vector<LineDisagreement> BlockDocument::load() {
    const BlockDataTexts texts = readBlockFile(dataFolder_, entryName_);
    // Beside the data file as found, whose name may differ in case from the entry.
    const std::string storedName = blockFilePath(dataFolder_, Parse(".", entryName_, 1)).stem().string();
    loads_ = trelmox::loadsEntries(readCompanionFile(dataFolder_, storedName).value_or(WedgeLoads{}));
    for (int i = 0; i < PlaneCount; ++i) {
        if (texts.Attitudes[i]) planes_.Dips[i] = *texts.Attitudes[i];
        if (texts.Quadrants[i]) planes_.Quadrants[i] = *texts.Quadrants[i];
    }
    for (const ParameterField& p : ParameterFields)
        if (const auto& text = texts.*p.FileText) params_.*p.Text = *text;
    loadWaterPressures(texts, params_);
    planesEdited_ = parametersEdited_ = loadsEdited_ = false;
    changed();
    return disagreeingLines(texts);
}

void BlockDocument::enter(const SavedBlock& block) {
    PlaneEntries planes;
    planes.Quadrants = block.Quadrants;
    for (int i = 0; i < PlaneCount; ++i)
        planes.Dips[i] = {floatToText(block.Attitudes[i].DipAngle), floatToText(block.Attitudes[i].DipDirection)};
    planesEdited_ = replace(planes_, planes) || planesEdited_;
    parametersEdited_ = replace(params_, block.Params) || parametersEdited_;
    changed();
}

void BlockDocument::setCurrentBlock(const std::string& name) {
    checkBlockName(name);
    // Results belong to the block they were worked out for.
    if (replace(currentBlock_, name)) results_.reset();
}

void BlockDocument::commitPlanes(const PlaneQuadrantArray& quadrants, const PlaneAttitudeArray& attitudes) {
    setCurrentBlock(Parse(".", entryName_, 1));
    quadrants_ = quadrants;
    attitudes_ = attitudes;
    // Both notations now show the confirmed planes, whichever was confirmed.
    planes_.Quadrants = quadrants;
    for (int i = 0; i < PlaneCount; ++i)
        planes_.Dips[i] = {floatToText(attitudes[i].DipAngle), floatToText(attitudes[i].DipDirection)};
    planesEdited_ = false;
    changed();
}

PlaneAttitudeArray BlockDocument::quadrantAttitudes() const {
    PlaneAttitudeArray attitudes = attitudes_;
    // As data1to2 converts them, each failure naming its box and plane.
    const PlaneQuadrantArray& quadrants = planes_.Quadrants;
    for (int i = 0; i < PlaneCount; ++i) attitudes[i].DipAngle = fieldFloat(quadrants[i].DipAngle, "倾角", i);
    for (int i = 0; i < PlaneCount; ++i)
        if (const auto direction = fieldNumber([&] { return quadrantDipDirection(quadrants[i]); }, "走向角", i))
            attitudes[i].DipDirection = *direction;
    checkQuadrantAngles(planes_.Quadrants, attitudes);
    // Letters that form no attitude would be saved and then refused by
    // every reader of the data file.
    for (int i = 0; i < PlaneCount; ++i) requireLetters(i, planes_.Quadrants[i]);
    return attitudes;
}

// A dip direction is an azimuth: outside 0..360 it is taken in modulo 360,
// and both notations then show the value stored.
PlaneAttitudeArray BlockDocument::dipAttitudes() const {
    PlaneAttitudeArray attitudes;
    for (int i = 0; i < PlaneCount; ++i)
        attitudes[i] = {fieldFloat(planes_.Dips[i][DipAngleField], "倾角", i),
                        azimuthWithin360(fieldFloat(planes_.Dips[i][DipDirectionField], "倾向", i))};
    checkDipAngles(attitudes);
    return attitudes;
}

void BlockDocument::checkPlaneEntries(bool dipMode) const {
    if (dipMode)
        dipAttitudes();
    else
        quadrantAttitudes();
}

bool BlockDocument::confirmQuadrants() {
    const PlaneAttitudeArray attitudes = quadrantAttitudes();
    if (entryName_.empty()) return false;
    commitPlanes(planes_.Quadrants, attitudes);
    return true;
}

bool BlockDocument::confirmDips() {
    const PlaneAttitudeArray attitudes = dipAttitudes();
    if (entryName_.empty()) return false;
    PlaneQuadrantArray quadrants = quadrants_;
    data2to1(attitudes, quadrants);
    commitPlanes(quadrants, attitudes);
    return true;
}

void BlockDocument::requireBlock() const {
    if (currentBlock_.empty()) throw Error(noConfirmedBlockMessage());
}

void BlockDocument::checkSavable(bool parametersMayBeEmpty) const {
    requireBlock();
    checkParameters(parametersMayBeEmpty);
    loads();
}

// The texts the data file's readers convert, in the file's order: a saved
// block must read back.
void BlockDocument::checkParameters(bool mayBeEmpty) const {
    struct Read {
        std::string TWedgeParams::*text;
        const char* field;
        bool integer;
    };
    std::vector<Read> read;
    for (const ParameterField& p : ParameterFields) read.push_back({p.Text, p.Field, p.Number == nullptr});
    // The water lines lie between the overhang coefficient and c1.
    if (params_.WaterPressureMode == TWaterPressureMode::Entered)
        read.insert(read.begin() + 4, {{&TWedgeParams::WaterPressure1, "WaterPressure1", false},
                                       {&TWedgeParams::WaterPressure2, "WaterPressure2", false}});
    for (const Read& r : read) {
        const std::string& text = params_.*r.text;
        if (mayBeEmpty && text.empty()) continue;
        if (r.integer)
            fieldNumber([&] { return textToInt32(text); }, r.field);
        else
            fieldFloat(text, r.field);
    }
}

void BlockDocument::takeAzimuthsIn() {
    if (takeAzimuthsWithin360(loads_)) changed();
}

WrittenFiles BlockDocument::writeDataFile() {
    requireBlock();
    takeAzimuthsIn();
    const WedgeLoads loads = this->loads();
    writeBlockFile(dataFolder_, currentBlock_, attitudes_, quadrants_, params_);
    parametersEdited_ = false; // saved with the block
    WrittenFiles written{dataFolder_ / (currentBlock_ + ".txt")};
    if (saveCompanionFile(dataFolder_, currentBlock_, loads))
        written.push_back(companionPath(dataFolder_, currentBlock_));
    loadsEdited_ = false;
    return written;
}

std::optional<std::filesystem::path> BlockDocument::writeLoads() {
    requireBlock();
    takeAzimuthsIn();
    const bool written = saveCompanionFile(dataFolder_, currentBlock_, loads());
    loadsEdited_ = false;
    if (!written) return std::nullopt;
    return companionPath(dataFolder_, currentBlock_);
}

BlockDocument::Corners BlockDocument::corners() const {
    requireBlock();
    const double slopeHeight = fieldFloat(params_.SlopeHeight, "SlopeHeight");
    QuadrantAttitudeArray planes;
    for (int i = 0; i < PlaneCount; ++i) planes[i] = quadrantAttitude(quadrants_[i]);
    VertexGeometry corners; // fresh: never the corners of another block
    Corners found{corners.computeForBlock(planes, slopeHeight), std::nullopt};
    if (found.FailedTriples.empty()) found.Vertices = corners.vertices();
    return found;
}

BlockRun BlockDocument::analyse() {
    if (results_) {
        results_.reset();
        changed();
    }
    takeAzimuthsIn();
    const WedgeLoads loads = this->loads();
    const SavedBlock entered = block();
    BlockInput input;
    try {
        input = blockInput(entered);
    } catch (const Error&) {
        // The corners are worked out before any parameter is read: planes
        // that cut out no corner are what the user hears about first, and
        // the slope height's text before the planes'.
        const double slopeHeight = fieldFloat(params_.SlopeHeight, "SlopeHeight");
        QuadrantAttitudeArray planes;
        for (int i = 0; i < PlaneCount; ++i) planes[i] = quadrantAttitude(quadrants_[i]);
        BlockRun cornersOnly;
        cornersOnly.Loads = loads;
        cornersOnly.FailedTriples = VertexGeometry().computeForBlock(planes, slopeHeight);
        if (!cornersOnly.FailedTriples.empty()) return cornersOnly;
        throw;
    }
    BlockRun run = runBlock(input, loads);
    run.throwFailure();
    if (!run.complete()) return run;
    results_ = run;
    analysed_ = entered;
    analysedLoads_ = loads_;
    changed();
    return run;
}

} // namespace trelmox
