#include "report/joint_tables.h"

#include <string>

#include "analysis/orientation.h"
#include "analysis/wedge.h"
#include "model/error_key.h"

namespace trelmox {

namespace {

XlsxCell cellOf(const std::optional<double>& value) { return value ? XlsxCell(*value) : XlsxCell(); }
XlsxCell cellOf(const std::optional<std::string>& text) { return text ? XlsxCell(*text) : XlsxCell(); }

// A measured plane is named by its line number, a set by its label.
XlsxCell planeCell(const CandidatePlane& plane) {
    return plane.Line ? XlsxCell(static_cast<double>(plane.Line)) : XlsxCell(plane.Label);
}

} // namespace

XlsxSheet jointSetsSheet(const std::vector<JointSet>& sets) {
    XlsxSheet sheet{"sets",
                    {"set", "count", "dip", "dipdir", "pole_trend", "pole_plunge", "resultant", "k", "cone95"},
                    {"", "", "°", "°", "°", "°", "", "", "°"},
                    {}};
    for (const JointSet& set : sets) {
        const FisherStats& s = set.Stats;
        const LineAttitude pole = lineAttitude(s.MeanPole);
        sheet.Rows.push_back({set.Label, static_cast<double>(s.Count), s.MeanPlane.DipAngle, s.MeanPlane.DipDirection,
                              pole.Trend, pole.Plunge, s.Resultant, cellOf(s.Kappa), cellOf(s.Cone95)});
    }
    return sheet;
}

XlsxSheet combinationsSheet(const std::vector<CandidatePlane>& planes, const std::vector<PlanePair>& pairs,
                            const std::vector<PairProbability>* probabilities) {
    XlsxSheet sheet{"combinations",
                    {"plane1", "plane2", "dip1", "dipdir1", "dip2", "dipdir2", "kinematic", "contact", "kc", "fs",
                     "fs_contact", "error", "error_kind"},
                    {"", "", "°", "°", "°", "°", "", "", "", "", "", "", ""},
                    {}};
    if (probabilities) {
        sheet.Keys.insert(sheet.Keys.end(), {"pf", "p_sliding", "fs_mean", "failed_volume_mean", "too_small"});
        sheet.Units.insert(sheet.Units.end(), {"", "", "", "m³", ""});
    }
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const PlanePair& p = pairs[i];
        const CandidatePlane& a = planes[p.First];
        const CandidatePlane& b = planes[p.Second];
        const std::optional<Error> failure = pairFailure(p);
        std::vector<XlsxCell> row{planeCell(a),
                                  planeCell(b),
                                  a.Plane.DipAngle,
                                  a.Plane.DipDirection,
                                  b.Plane.DipAngle,
                                  b.Plane.DipDirection,
                                  p.Kinematic,
                                  p.Kc ? XlsxCell(std::string(contactName(p.Kc->Contact))) : XlsxCell(),
                                  cellOf(pairKc(p)),
                                  cellOf(pairFs(p)),
                                  p.Full ? XlsxCell(std::string(contactName(p.Full->Contact))) : XlsxCell(),
                                  cellOf(pairProblem(p)),
                                  failure ? XlsxCell(std::string(errorKey(*failure))) : XlsxCell()};
        if (probabilities && i < probabilities->size()) {
            const PairProbability& q = (*probabilities)[i];
            row.insert(row.end(), {q.Pf, cellOf(q.PSliding), cellOf(q.FsMean), cellOf(q.FailedVolumeMean),
                                   static_cast<double>(q.TooSmall)});
        }
        sheet.Rows.push_back(std::move(row));
    }
    return sheet;
}

XlsxSheet kinematicsSheet(const ModeResult& result, const TPlaneAttitude& face) {
    XlsxSheet sheet{"kinematics",
                    {"mode", "face_dip", "face_dipdir", "set", "critical", "total", "percent"},
                    {"", "°", "°", "", "", "", "%"},
                    {}};
    const auto add = [&](const std::string& label, const KinematicCount& count) {
        sheet.Rows.push_back({std::string(kinematicModeKey(result.Mode)), face.DipAngle, face.DipDirection, label,
                              static_cast<double>(count.Critical), static_cast<double>(count.Total), count.percent()});
    };
    add("全部", result.All);
    for (const GroupCount& group : result.Groups) add(group.Label, group.Count);
    return sheet;
}

} // namespace trelmox
