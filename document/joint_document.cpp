#include "document/joint_document.h"

#include <cmath>

#include "model/attitude.h"
#include "model/error.h"
#include "model/files.h"
#include "model/language.h"
#include "report/joint_tables.h"
#include "report/xlsx_table.h"

namespace trelmox {

namespace {

std::string candidateName(const CandidatePlane& plane) {
    if (!plane.Line) return plane.Label;
    return messageLanguage() == Language::English ? "line " + plane.Label : "第 " + plane.Label + " 行";
}

} // namespace

void JointDocument::addListener(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

void JointDocument::changed() {
    for (const auto& listener : listeners_) listener();
}

void JointDocument::kinematicInputsChanged() {
    ++kinematicInputs_;
    kinematics_.clear();
    changed();
}

void JointDocument::open(const std::filesystem::path& file) { open(readMeasurementFile(file), file); }

void JointDocument::open(MeasurementFile read, const std::filesystem::path& file) {
    cloud_.reset();
    file_ = file;
    measurements_ = std::move(read);
    grouping_ = JointGrouping::Planes;
    sets_.clear();
    windows_.clear();
    combinations_.reset();
    kinematicInputsChanged();
}

void JointDocument::openCloud(std::shared_ptr<const CloudResult> cloud, const std::filesystem::path& file) {
    MeasurementFile read;
    read.Planes = cloud->Joints.Planes;
    if (read.Planes.empty())
        throw Error::refused(
            inLanguage("点云中除坡面外没有结构面面片", "the cloud has no joint facet besides the face"));
    // As the measurement file written from the run would read.
    MeasurementSummary& summary = read.Summary;
    summary.DipRows = read.Planes.size();
    summary.Header = true;
    for (const Measurement& m : read.Planes) {
        summary.Weighted |= m.Weight != 1;
        if (m.Set.empty()) {
            ++summary.Unlabelled;
            continue;
        }
        if (summary.Sets.empty() || summary.Sets.back().first != m.Set) summary.Sets.push_back({m.Set, 0});
        ++summary.Sets.back().second;
    }
    file_ = file;
    measurements_ = std::move(read);
    cloud_ = std::move(cloud);
    const JointGrouping grouping = cloud_->Joints.Sets.empty() ? JointGrouping::Planes : JointGrouping::Labels;
    regroup(grouping, cloud_->Joints.Sets, {});
}

void JointDocument::regroup(JointGrouping grouping, std::vector<JointSet> sets, std::vector<SetWindow> windows) {
    grouping_ = grouping;
    sets_ = std::move(sets);
    windows_ = std::move(windows);
    combinations_.reset();
    kinematicInputsChanged();
}

void JointDocument::useIndividualPlanes() { regroup(JointGrouping::Planes, {}, {}); }

void JointDocument::useLabels() {
    std::vector<JointSet> sets = labelledSets(measurements_.Planes);
    if (sets.empty())
        throw Error::refused(
            inLanguage("测量文件中没有组号，不能按组组合", "The measurement file gives no set numbers to combine by"));
    regroup(JointGrouping::Labels, std::move(sets), {});
}

void JointDocument::groupAutomatically(int setCount) {
    regroup(JointGrouping::Automatic, groupSets(measurements_.Planes, setCount), {});
}

void JointDocument::pickSet(const TPoint3D& direction, double halfAngle) {
    const bool adding = grouping_ == JointGrouping::Picked;
    std::vector<JointSet> sets = adding ? sets_ : std::vector<JointSet>{};
    std::vector<SetWindow> windows = adding ? windows_ : std::vector<SetWindow>{};
    const std::size_t plane = nearestPole(measurements_.Planes, direction);
    SetWindow window{"W" + std::to_string(windows.size() + 1), planePole(measurements_.Planes[plane].Plane), halfAngle};
    sets.push_back(windowSet(measurements_.Planes, window));
    windows.push_back(std::move(window));
    regroup(JointGrouping::Picked, std::move(sets), std::move(windows));
}

void JointDocument::combine(const std::string& blockName, const SavedBlock& block, CombinationSlope slope) {
    JointCombinations run{blockName,
                          block,
                          std::move(slope),
                          {},
                          sets_.empty() ? measuredCandidates(measurements_.Planes)
                                        : setCandidates(measurements_.Planes, sets_),
                          {},
                          {}};
    if (selected_) {
        const SlopeSector& sector = sectors_[*selected_];
        run.Block = sectorBlock(block, sector);
        run.Slope.Face = run.Block.Attitudes[int(TPlaneRole::SlopeFace)];
        run.Sector = sector.Name;
    }
    if (run.Planes.size() < 2)
        throw Error::refused(
            inLanguage("组合至少需要两个结构面或两组", "A combination needs at least two planes or two sets"));
    run.Pairs = combinePlanes(run.Planes, run.Slope);
    combinations_ = std::move(run);
    ++combinationRuns_;
    changed();
}

std::optional<std::vector<PairProbability>> PairProbabilityJob::run(const ProgressCallback& progress) const {
    return pairProbabilitiesInOrder(Slope, Planes, Pairs, Settings, progress);
}

void JointDocument::setProbabilitySettings(std::uint64_t samples, std::uint64_t seed) {
    if (samples < 1 || samples > MaxSamples)
        throw Error::refused(messageLanguage() == Language::English
                                 ? "The samples per pair of planes must be 1 to " + std::to_string(MaxSamples) +
                                       ", not " + std::to_string(samples)
                                 : "每对结构面的样本数应为1到" + std::to_string(MaxSamples) + "，而不是" +
                                       std::to_string(samples));
    if (probability_.Samples == samples && probability_.Seed == seed) return;
    probability_.Samples = samples;
    probability_.Seed = seed;
    changed();
}

PairProbabilityJob JointDocument::pairProbabilityJob() const {
    if (!combinations_) throw Error::refused(inLanguage("请先做组合分析", "Run the combinations first"));
    const JointCombinations& run = *combinations_;
    return {run.Slope, run.Planes, run.Pairs, probability_, combinationRuns_};
}

bool JointDocument::takePairProbabilities(const PairProbabilityJob& job, std::vector<PairProbability> found) {
    if (!combinations_ || job.Combination != combinationRuns_ || found.size() != combinations_->Pairs.size())
        return false;
    combinations_->Probabilities = std::move(found);
    changed();
    return true;
}

SavedBlock JointDocument::pairBlock(std::size_t row) const {
    const PlanePair& pair = combinations_.value().Pairs.at(row);
    return trelmox::pairBlock(combinations_->Block, combinations_->Planes[pair.First],
                              combinations_->Planes[pair.Second]);
}

bool JointDocument::madeBlock(const SavedBlock& block) const {
    if (!combinations_) return false;
    const auto same = [](const TPlaneAttitude& a, const TPlaneAttitude& b) {
        return std::abs(a.DipAngle - b.DipAngle) < 1e-6 && std::abs(a.DipDirection - b.DipDirection) < 1e-6;
    };
    const TPlaneAttitude& first = block.Attitudes[int(TPlaneRole::FirstCuttingPlane)];
    const TPlaneAttitude& second = block.Attitudes[int(TPlaneRole::SecondCuttingPlane)];
    for (const PlanePair& p : combinations_->Pairs)
        if (same(combinations_->Planes[p.First].Plane, first) && same(combinations_->Planes[p.Second].Plane, second))
            return true;
    return false;
}

std::string JointDocument::pairName(std::size_t row) const {
    const PlanePair& pair = combinations_.value().Pairs.at(row);
    return candidateName(combinations_->Planes[pair.First]) + " × " + candidateName(combinations_->Planes[pair.Second]);
}

void JointDocument::openSectors(const std::filesystem::path& file) {
    sectors_ = readSectorFile(file);
    selected_ = 0;
    changed();
}

void JointDocument::addSector(SlopeSector sector) {
    validateKinematicSlope({sector.Dip, sector.DipDirection, friction_, lateral_});
    sectors_.push_back(std::move(sector));
    selected_ = sectors_.size() - 1;
    changed();
}

void JointDocument::removeSector(std::size_t index) {
    if (index >= sectors_.size()) return;
    sectors_.erase(sectors_.begin() + static_cast<std::ptrdiff_t>(index));
    if (sectors_.empty())
        selected_.reset();
    else if (selected_ && (*selected_ > index || *selected_ == sectors_.size()))
        --*selected_;
    changed();
}

void JointDocument::setSectorAngle(std::size_t index, double SlopeSector::*angle, double value) {
    if (index >= sectors_.size()) {
        const std::string number = std::to_string(index + 1);
        throw Error::refused(messageLanguage() == Language::English ? "There is no sector " + number
                                                                    : "没有第 " + number + " 个分区");
    }
    if (sectors_[index].*angle == value) return;
    sectors_[index].*angle = value;
    changed();
}

void JointDocument::setSectorDip(std::size_t index, double dip) {
    if (!(dip >= 0 && dip <= 180))
        throw Error::refused(inLanguage("坡面倾角应在0到180之间（大于90为倒坡）",
                                        "The slope face dip must be between 0 and 180 (above 90 for an overhang)"),
                             "dip", static_cast<int>(index));
    setSectorAngle(index, &SlopeSector::Dip, dip);
}

// An azimuth as every window stores one: taken into 0..360 modulo 360.
void JointDocument::setSectorDipDirection(std::size_t index, double dipDirection) {
    if (!std::isfinite(dipDirection))
        throw Error::refused(inLanguage("坡面倾向不是有限的数", "The slope face dip direction is not a finite number"),
                             "dipdir", static_cast<int>(index));
    setSectorAngle(index, &SlopeSector::DipDirection, azimuthWithin360(dipDirection));
}

void JointDocument::selectSector(std::optional<std::size_t> index) {
    if (index && *index >= sectors_.size()) index.reset();
    if (index == selected_) return;
    selected_ = index;
    changed();
}

void JointDocument::setKinematicMode(std::optional<KinematicMode> mode) {
    if (mode == mode_) return;
    mode_ = mode;
    changed();
}

void JointDocument::setKinematicLimits(double frictionAngle, double lateralLimit) {
    validateKinematicSlope({60, 0, frictionAngle, lateralLimit});
    if (friction_ == frictionAngle && lateral_ == lateralLimit) return;
    friction_ = frictionAngle;
    lateral_ = lateralLimit;
    kinematicInputsChanged();
}

namespace {

// A sectors file of some tens of faces, each seen once or twice.
constexpr std::size_t KeptFaces = 16;

bool sameFace(const KinematicSlope& slope, const TPlaneAttitude& face) {
    return slope.FaceDip == face.DipAngle && slope.FaceDipDirection == face.DipDirection;
}

} // namespace

std::optional<KinematicResult> KinematicJob::run(const ProgressCallback& progress) const {
    auto results = kinematicAnalysis(Planes, Sets, {Slope}, 0, true, progress);
    if (!results) return std::nullopt;
    return std::move(results->front());
}

const KinematicResult* JointDocument::knownKinematics(const TPlaneAttitude& face, bool pairs) const {
    for (const KeptKinematics& kept : kinematics_)
        if (sameFace(kept.Result.Slope, face) && (kept.Pairs || !pairs)) return &kept.Result;
    return nullptr;
}

void JointDocument::keepKinematics(KinematicResult result, bool pairs) const {
    const TPlaneAttitude face{result.Slope.FaceDip, result.Slope.FaceDipDirection};
    std::erase_if(kinematics_, [&](const KeptKinematics& kept) { return sameFace(kept.Result.Slope, face); });
    kinematics_.insert(kinematics_.begin(), {std::move(result), pairs});
    if (kinematics_.size() > KeptFaces) kinematics_.pop_back();
}

const KinematicResult& JointDocument::kinematics(const TPlaneAttitude& face, bool pairs) const {
    if (!knownKinematics(face, pairs)) {
        const KinematicSlope slope{face.DipAngle, face.DipDirection, friction_, lateral_};
        keepKinematics(kinematicAnalysis(measurements_.Planes, sets_, {slope}, 0, pairs).front(), pairs);
    }
    return *knownKinematics(face, pairs);
}

KinematicJob JointDocument::kinematicJob(const TPlaneAttitude& face) const {
    return {measurements_.Planes, sets_, {face.DipAngle, face.DipDirection, friction_, lateral_}, kinematicInputs_};
}

bool JointDocument::takeKinematics(const KinematicJob& job, KinematicResult result) {
    if (job.Inputs != kinematicInputs_) return false;
    keepKinematics(std::move(result), true);
    changed();
    return true;
}

void JointDocument::writeTables(const std::filesystem::path& path, const std::optional<TPlaneAttitude>& face) const {
    if (!opened())
        throw Error::refused(inLanguage("请先打开结构面测量文件", "Open a file of joint measurements first"));
    std::vector<XlsxSheet> sheets{jointSetsSheet(sets_)};
    if (combinations_)
        sheets.push_back(
            combinationsSheet(combinations_->Planes, combinations_->Pairs,
                              combinations_->Probabilities.empty() ? nullptr : &combinations_->Probabilities));
    if (mode_ && face)
        sheets.push_back(kinematicsSheet(kinematics(*face, checksIntersections(*mode_)).mode(*mode_), *face));
    writeFileAtomically(path, xlsxWorkbook(sheets));
}

} // namespace trelmox
