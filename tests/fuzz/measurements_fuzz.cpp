// Fuzz harness of the measurement reader and the set statistics. Beyond not
// crashing: every refusal is readable line by line; every plane read lies
// in range with a bounded weight and a label without control characters;
// the summary counts what was read; the planes written back in the reader's
// own notation (header, quoted labels, exact numbers) read back as the same
// planes; and the Fisher statistics of the labelled and the grouped sets
// are numbers in their ranges or stated as absent.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "analysis/joints/measurements.h"
#include "analysis/joints/sets.h"
#include "model/error.h"
#include "model/exact_text.h"
#include "model/numtext.h"
#include "tests/fuzz/readable.h"

using namespace trelmox;

namespace {

void check(bool holds) {
    if (!holds) std::abort();
}

// Every bad line has its own line in the reader's message.
void requireReadableLines(const std::string& message) {
    std::size_t start = 0;
    for (std::size_t end; (end = message.find('\n', start)) != std::string::npos; start = end + 1)
        fuzz::requireReadable(message.substr(start, end - start));
    fuzz::requireReadable(message.substr(start));
}

std::string optionalText(const std::optional<double>& value) { return value ? floatToExactText(*value) : ""; }

std::string writtenBack(const MeasurementFile& file) {
    std::string text = "dip,dipdir,set,weight,c,f\n";
    for (const Measurement& m : file.Planes)
        text += floatToExactText(m.Plane.DipAngle) + "," + floatToExactText(m.Plane.DipDirection) + ",\"" + m.Set +
                "\"," + floatToExactText(m.Weight) + "," + optionalText(m.Cohesion) + "," + optionalText(m.Friction) +
                "\n";
    return text;
}

void requirePlanes(const MeasurementFile& file) {
    const MeasurementSummary& s = file.Summary;
    check(s.DipRows + s.QuadrantRows == file.Planes.size());
    std::size_t labelled = 0;
    for (const auto& set : s.Sets) labelled += set.second;
    check(labelled + s.Unlabelled == file.Planes.size());
    int line = 0;
    for (const Measurement& m : file.Planes) {
        check(m.Plane.DipAngle >= 0 && m.Plane.DipAngle <= 90);
        check(m.Plane.DipDirection >= 0 && m.Plane.DipDirection < 360);
        check(m.Weight > 0 && m.Weight <= 1e6);
        check(!m.Cohesion || *m.Cohesion >= 0);
        check(!m.Friction || *m.Friction >= 0);
        check(m.Line > line);
        line = m.Line;
        fuzz::requireReadable(m.Set);
    }
    fuzz::requireReadable(measurementSummaryText(s));
}

void requireRoundTrip(const MeasurementFile& file) {
    const MeasurementFile again = parseMeasurements(writtenBack(file));
    check(again.Planes.size() == file.Planes.size());
    for (std::size_t i = 0; i < file.Planes.size(); ++i) {
        const Measurement &a = file.Planes[i], &b = again.Planes[i];
        check(a.Plane == b.Plane && a.Set == b.Set && a.Weight == b.Weight && a.Cohesion == b.Cohesion &&
              a.Friction == b.Friction);
    }
}

void requireStatistics(const FisherStats& s, std::size_t members) {
    check(s.Count == members && s.Weight > 0 && std::isfinite(s.Weight));
    check(s.Resultant >= 0 && s.Resultant <= s.Weight * (1 + 1e-12));
    check(s.MeanPlane.DipAngle >= 0 && s.MeanPlane.DipAngle <= 90 && std::isfinite(s.MeanPlane.DipDirection));
    check(s.Kappa.has_value() == s.Cone95.has_value());
    if (s.Kappa) check(*s.Kappa > 0 && !std::isnan(*s.Kappa));
    if (s.Cone95) check(*s.Cone95 >= 0 && *s.Cone95 <= 180);
}

void requireSets(const std::vector<JointSet>& sets) {
    for (const JointSet& set : sets) requireStatistics(set.Stats, set.Members.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MeasurementFile file;
    try {
        file = readMeasurements(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const Error& failure) {
        requireReadableLines(failure.what());
        return 0;
    }
    requirePlanes(file);
    requireRoundTrip(file);
    requireSets(labelledSets(file.Planes));
    // k-means restarts cost planes times sets times iterations: kept small.
    if (file.Planes.size() <= 200) {
        for (int sets = 1; sets <= 3 && static_cast<std::size_t>(sets) <= file.Planes.size(); ++sets) {
            try {
                requireSets(groupSets(file.Planes, sets));
            } catch (const Error& failure) {
                fuzz::requireReadable(failure.what()); // fewer distinct planes than sets
            }
        }
    }
    return 0;
}
