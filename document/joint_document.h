#pragma once
// The joint measurements being worked on, held in one place like the block:
// the file read, the sets formed from it (by the file's labels, by
// automatic grouping, or picked as cones around chosen poles), and the last
// combinations of its planes or sets in a slope. The windows show it and
// pass the user's choices in; the command-line tool runs the same steps.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/cloud/cloud_analysis.h"
#include "analysis/joints/combination_result.h"
#include "analysis/joints/combinations.h"
#include "analysis/joints/kinematics.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/pair_probability.h"
#include "analysis/joints/sectors.h"
#include "analysis/joints/sets.h"
#include "model/datafile.h"

namespace trelmox {

// How the planes are grouped into the candidates of the combinations.
enum class JointGrouping {
    Planes,    // every measured plane on its own
    Labels,    // one set per label of the file
    Automatic, // k-means into a chosen number of sets
    Picked,    // cones the user picked around poles
};

// What the pairs' probabilities are worked out from: copies of the last
// combinations' slope with its loads, planes and pairs, so that a worker thread
// can run them while the document goes on changing.
struct PairProbabilityJob {
    CombinationSlope Slope; // with its loads
    std::vector<CandidatePlane> Planes;
    std::vector<PlanePair> Pairs;
    PairProbabilitySettings Settings;
    std::uint64_t Combination = 0; // which combination run it belongs to
    // By Pairs; nothing when `progress` cancels. Throws Error as
    // runProbabilistic does.
    std::optional<std::vector<PairProbability>> run(const ProgressCallback& progress = {}) const;
};

// What the kinematic checks of one face are worked out from: copies of the
// planes, the sets and the slope, so that a worker thread can check the
// pairs (seconds for ten thousand planes) while the document goes on
// changing.
struct KinematicJob {
    std::vector<Measurement> Planes;
    std::vector<JointSet> Sets;
    KinematicSlope Slope;
    std::uint64_t Inputs = 0; // which planes, sets and limits it belongs to
    // All four modes; nothing when `progress` cancels.
    std::optional<KinematicResult> run(const ProgressCallback& progress = {}) const;
};

class JointDocument {
public:
    // Called after every change.
    void addListener(std::function<void()> listener);

    // Reads a measurement file; its planes replace those held, with every
    // plane on its own and no combinations. Nothing changes when it fails.
    void open(const std::filesystem::path& file);
    // The same with the planes of a file read already (named `file`).
    void open(MeasurementFile measurements, const std::filesystem::path& file);
    // Takes the joints of a point cloud run on the file `file`: its joint
    // facets become the planes (the face's left out), grouped by its sets.
    // Throws a refused Error, and nothing changes, when the cloud gave no
    // joint facet.
    void openCloud(std::shared_ptr<const CloudResult> cloud, const std::filesystem::path& file);
    // The cloud run the planes come from; null for a measurement file.
    const std::shared_ptr<const CloudResult>& cloud() const { return cloud_; }
    bool opened() const { return !measurements_.Planes.empty(); }
    const std::filesystem::path& file() const { return file_; }
    const MeasurementFile& measurements() const { return measurements_; }

    // Regrouping drops the combinations, which belong to the old grouping.
    JointGrouping grouping() const { return grouping_; }
    const std::vector<JointSet>& sets() const { return sets_; }
    const std::vector<SetWindow>& windows() const { return windows_; } // the picked cones
    void useIndividualPlanes();
    // Throws Error when the file labels no plane.
    void useLabels();
    // Throws Error unless 1 <= setCount <= the number of planes.
    void groupAutomatically(int setCount);
    // Adds the set of the planes within `halfAngle` degrees of the pole
    // nearest `direction` (the pole the user pointed at), labelled W1, W2, ...;
    // the sets of another grouping are dropped first. Throws Error for a
    // half-angle outside (0, 90].
    void pickSet(const TPoint3D& direction, double halfAngle);

    // Every pair of the sets' mean planes, or of the planes when there are
    // no sets, set into `slope`, which is combinationSlope of `block` (named
    // `blockName`) and its loads. With a sector shown, its face takes the
    // place of the block's (in the slope and in the blocks the pairs make);
    // the block's upper slope, parameters and loads stay. Throws Error for
    // fewer than two candidates, for sets whose members disagree on c or f
    // and for an overhanging sector; the last run then stays.
    void combine(const std::string& blockName, const SavedBlock& block, CombinationSlope slope);
    const std::optional<JointCombinations>& combinations() const { return combinations_; }
    // The block that the pair at `row` of the combinations makes.
    SavedBlock pairBlock(std::size_t row) const;
    // The block's cutting planes are a pair of the last combinations (to
    // within a millionth of a degree, as confirming converts them).
    bool madeBlock(const SavedBlock& block) const;
    // "J1 × J2", or line numbers for measured planes: "第 3 行 × 第 7 行".
    std::string pairName(std::size_t row) const;

    // The samples and the seed of each pair's probabilistic run.
    const PairProbabilitySettings& probabilitySettings() const { return probability_; }
    // Throws a refused Error for a sample count outside 1..MaxSamples.
    void setProbabilitySettings(std::uint64_t samples, std::uint64_t seed);
    // Throws Error when there are no combinations.
    PairProbabilityJob pairProbabilityJob() const;
    // Keeps a job's probabilities beside its pairs. False, and nothing kept,
    // when the combinations were run again or dropped since the job was
    // taken: figures of other pairs must never sit beside these.
    bool takePairProbabilities(const PairProbabilityJob& job, std::vector<PairProbability> found);

    // The kinematic checks of the planes against a slope face: the sectors
    // of the slope (from a sectors file, or added one by one), the one
    // shown, the failure mode whose zones the net shades, the friction
    // angle and the lateral limits.
    const std::vector<SlopeSector>& sectors() const { return sectors_; }
    // Replaces the sectors with the file's and shows the first; nothing
    // changes when it fails.
    void openSectors(const std::filesystem::path& file);
    // Adds a sector and shows it.
    void addSector(SlopeSector sector);
    // Removes a sector; the one after it is shown (the last, or none when
    // no sector is left: the block's face).
    void removeSector(std::size_t index);
    // Throw a refused Error, with the field ("dip", "dipdir") and the
    // sector's row, for a dip outside 0..180 (beyond 90 overhanging) or a
    // dip direction that is not finite; a dip direction outside 0..360 is
    // taken in modulo 360, as the entry windows take azimuths.
    void setSectorDip(std::size_t index, double dip);
    void setSectorDipDirection(std::size_t index, double dipDirection);
    // Shows the sector at `index` (none: the current block's face).
    void selectSector(std::optional<std::size_t> index);
    std::optional<std::size_t> selectedSector() const { return selected_; }
    std::optional<KinematicMode> kinematicMode() const { return mode_; }
    void setKinematicMode(std::optional<KinematicMode> mode);
    double frictionAngle() const { return friction_; }
    double lateralLimit() const { return lateral_; }
    // Throws Error for a friction angle outside 0..<90 or lateral limits
    // outside 0..180.
    void setKinematicLimits(double frictionAngle, double lateralLimit);
    // The four modes of the planes, with the sets as they stand, against
    // `face` (dip 0..180); worked out when asked and kept until the planes,
    // the sets or the limits change.
    // Without `pairs` only the pole modes are counted (the pair modes stay
    // empty): the pairs of n planes are n (n - 1) / 2, some seconds of work
    // for ten thousand planes, which a net of a pole mode does not need.
    const KinematicResult& kinematics(const TPlaneAttitude& face, bool pairs = true) const;
    // The checks of `face` when they are known (with the pair modes when
    // `pairs`), without working anything out; nullptr otherwise.
    const KinematicResult* knownKinematics(const TPlaneAttitude& face, bool pairs) const;
    // What kinematics(face) works out, to be run elsewhere.
    KinematicJob kinematicJob(const TPlaneAttitude& face) const;
    // Counts the changes of the planes, the sets and the limits: a job's
    // checks belong to the count it was taken at.
    std::uint64_t kinematicInputs() const { return kinematicInputs_; }
    // Keeps a job's checks as kinematics() would. False, and nothing kept,
    // when the planes, the sets or the limits changed since it was taken.
    bool takeKinematics(const KinematicJob& job, KinematicResult result);

    // The tables as an Excel workbook at `path`, replaced in one step: the
    // sets with their Fisher statistics, the last combinations (with their
    // probabilities when worked out) and, with a mode chosen and a `face`,
    // that mode's kinematic check against it. Throws Error when no file is
    // opened, or when the workbook cannot be made or written.
    void writeTables(const std::filesystem::path& path, const std::optional<TPlaneAttitude>& face) const;

private:
    void regroup(JointGrouping grouping, std::vector<JointSet> sets, std::vector<SetWindow> windows);
    void changed();
    // A change of what the kinematic checks are worked out from.
    void kinematicInputsChanged();
    void keepKinematics(KinematicResult result, bool pairs) const;
    void setSectorAngle(std::size_t index, double SlopeSector::*angle, double value);

    std::vector<std::function<void()>> listeners_;
    std::filesystem::path file_;
    MeasurementFile measurements_;
    std::shared_ptr<const CloudResult> cloud_;
    JointGrouping grouping_ = JointGrouping::Planes;
    std::vector<JointSet> sets_;
    std::vector<SetWindow> windows_;
    std::optional<JointCombinations> combinations_;
    std::uint64_t combinationRuns_ = 0;
    PairProbabilitySettings probability_;
    std::vector<SlopeSector> sectors_;
    std::optional<std::size_t> selected_;
    std::optional<KinematicMode> mode_;
    double friction_ = 30, lateral_ = 20;
    // The checks of the last faces shown, the latest first: going back to a
    // sector costs nothing.
    struct KeptKinematics {
        KinematicResult Result;
        bool Pairs = false; // whether they count the pair modes
    };
    mutable std::vector<KeptKinematics> kinematics_;
    std::uint64_t kinematicInputs_ = 0;
};

} // namespace trelmox
