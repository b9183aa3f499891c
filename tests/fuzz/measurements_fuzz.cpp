// Fuzz harness of the measurement reader and the set statistics. Beyond not
// crashing: every refusal is readable line by line; every plane read lies
// in range with a bounded weight and a label without control characters;
// the summary counts what was read; the planes written back in the reader's
// own notation (header, quoted labels, exact numbers) read back as the same
// planes; and the Fisher statistics of the labelled and the grouped sets
// are numbers in their ranges or stated as absent. A refusal is refused
// input or a number's text, naming the line its message begins with. The
// same bytes go to the sectors reader: every sector read is a face the
// kinematic checks take, with its line, and its refusals are as readable.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "analysis/joints/kinematics.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/sectors.h"
#include "analysis/joints/sets.h"
#include "model/error.h"
#include "model/exact_text.h"
#include "model/numtext.h"
#include "model/textcodec.h"
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

// A file's refusal: its kind, and the line its message names first.
void requireSource(const Error& failure, const std::string& linePrefix) {
    check(failure.kind() == ErrorKind::RefusedInput || failure.kind() == ErrorKind::NumberText);
    const std::string message = failure.what();
    if (message.starts_with(linePrefix)) check(failure.line() == std::atoi(message.c_str() + linePrefix.size()));
}

void fuzzSectors(const std::string& bytes) {
    std::string text;
    try {
        text = decodeUtf8OrGb18030(bytes).Utf8;
    } catch (const Error&) {
        return; // neither encoding: the text layer's refusal
    }
    std::vector<SlopeSector> sectors;
    try {
        sectors = parseSectors(text);
    } catch (const Error& failure) {
        requireReadableLines(failure.what());
        requireSource(failure, "分区文件第 ");
        return;
    }
    check(!sectors.empty());
    int line = 0;
    for (const SlopeSector& s : sectors) {
        check(!s.Name.empty());
        fuzz::requireReadable(s.Name);
        check(s.Dip >= 0 && s.Dip <= 180 && s.DipDirection >= -360 && s.DipDirection <= 720);
        check(!s.Height || *s.Height > 0);
        check(s.TopDip >= 0 && s.TopDip <= 90);
        check(s.Line > line);
        line = s.Line;
        validateKinematicSlope(kinematicSlope(s, 30, 20)); // throws, and so aborts, for a face out of range
    }
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
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzzSectors(bytes);
    MeasurementFile file;
    try {
        file = readMeasurements(bytes);
    } catch (const Error& failure) {
        requireReadableLines(failure.what());
        requireSource(failure, "测量文件第 ");
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
