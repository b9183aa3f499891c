#include "analysis/joints/sector_run.h"

#include <utility>

#include "analysis/joints/sets.h"
#include "model/error.h"

namespace trelmox {

namespace {

// Runs `step`, naming the file in its failure.
template <typename Step> auto fromFile(const std::string& file, Step step) {
    try {
        return step();
    } catch (const Error& e) {
        throw e.prefixed(file + ": ").withPath(file);
    }
}

} // namespace

KinematicRun kinematicRun(const std::vector<SlopeSector>& sectors, MeasurementFile measurements,
                          const std::string& measurementFile, double friction, double lateral,
                          const ProgressCallback& progress) {
    KinematicRun run;
    run.Measurements = std::move(measurements);
    const std::vector<Measurement>& planes = run.Measurements.Planes;
    const std::vector<JointSet> sets =
        run.Measurements.Summary.Sets.empty() ? std::vector<JointSet>{} : labelledSets(planes);
    run.Candidates = sets.empty() ? measuredCandidates(planes)
                                  : fromFile(measurementFile, [&] { return setCandidates(planes, sets); });
    std::vector<KinematicSlope> slopes;
    for (const SlopeSector& s : sectors) slopes.push_back(kinematicSlope(s, friction, lateral));
    auto results = kinematicAnalysis(planes, sets, slopes, 0, true, progress);
    if (!results) return run; // cancelled: no sectors
    for (std::size_t k = 0; k < sectors.size(); ++k)
        run.Sectors.push_back(
            {sectors[k], (*results)[k], sectorFactors(sectors[k], run.Candidates, friction, lateral)});
    return run;
}

KinematicRun kinematicRun(const std::filesystem::path& sectorFile, MeasurementFile measurements,
                          const std::string& measurementFile, double friction, double lateral,
                          const ProgressCallback& progress) {
    if (!(friction >= 0 && friction < 90))
        throw Error::refused("the friction angle must lie between 0 and 90 (not included)", "friction");
    if (!(lateral >= 0 && lateral <= 180))
        throw Error::refused("the lateral limits must lie between 0 and 180", "lateral");
    const std::string file = sectorFile.string();
    const std::vector<SlopeSector> sectors = fromFile(file, [&] { return readSectorFile(sectorFile); });
    return kinematicRun(sectors, std::move(measurements), measurementFile, friction, lateral, progress);
}

} // namespace trelmox
