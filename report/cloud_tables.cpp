#include "report/cloud_tables.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "analysis/joints/measurements.h"
#include "model/error.h"
#include "model/exact_text.h"
#include "model/wording.h"

namespace trelmox {

namespace {

CloudJson number(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? CloudJson(*value) : CloudJson(nullptr);
}

std::string csvNumber(const CloudJson& value) {
    if (value.is_null()) return "";
    if (!value.is_number_float()) return value.dump();
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value.get<double>());
    return text;
}

std::string csvCell(const CloudJson& value) {
    if (value.is_string()) {
        const std::string text = value.get<std::string>();
        return text.find_first_of(",\"\r\n") == std::string::npos ? text : "\"" + text + "\"";
    }
    return csvNumber(value);
}

// A set by its number: 1 for J1, ..., 0 the face, -1 none.
int setNumber(const std::string& label) {
    if (label == FaceLabel) return 0;
    if (label.size() > 1 && label[0] == 'J') return std::stoi(label.substr(1));
    return -1;
}

struct SetRow {
    std::string Label;
    const JointSet* Set;
    double Area;
    double ExtentMean;
};

std::vector<SetRow> setRows(const CloudResult& result) {
    const CloudJoints& j = result.Joints;
    std::vector<SetRow> rows;
    for (std::size_t s = 0; s < j.Sets.size(); ++s)
        rows.push_back({j.Sets[s].Label, &j.Sets[s], j.SetArea[s], j.Extents[s].Mean});
    if (j.Face) {
        std::vector<double> extents;
        for (std::size_t i : j.Face->Members) extents.push_back(result.Search.Facets[i].Extent);
        rows.push_back({FaceLabel, &*j.Face, j.FaceArea, fitExtents(extents).Mean});
    }
    return rows;
}

XlsxSheet sheetOf(const std::string& name, const std::vector<CloudJson>& rows, const std::vector<std::string>& keys,
                  const std::vector<std::string>& units) {
    XlsxSheet sheet{name, keys, units, {}};
    for (const CloudJson& row : rows) {
        std::vector<XlsxCell> cells;
        for (const auto& [key, value] : row.items()) {
            if (value.is_string())
                cells.emplace_back(std::in_place_type<std::string>, value.get<std::string>());
            else if (value.is_number())
                cells.emplace_back(std::in_place_type<double>, value.get<double>());
            else
                cells.emplace_back(std::in_place_type<std::monostate>);
        }
        sheet.Rows.push_back(std::move(cells));
    }
    return sheet;
}

const std::vector<std::string> FacetKeys = {"facet", "dip", "dipdir", "area",   "extent", "x",
                                            "y",     "z",   "rms",    "points", "set"};
const std::vector<std::string> SetKeys = {"set", "dip", "dipdir", "k", "cone95", "count", "area", "extent_mean"};

std::string fixed(double value, int digits) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

template <typename T> void append(std::string& out, T value) {
    char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big)
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    out.append(raw, sizeof(T));
}

} // namespace

std::vector<CloudJson> cloudFacetRows(const CloudResult& result) {
    std::vector<CloudJson> rows;
    const std::vector<Facet>& facets = result.Search.Facets;
    for (std::size_t i = 0; i < facets.size(); ++i) {
        const Facet& f = facets[i];
        CloudJson row;
        row["facet"] = i + 1;
        row["dip"] = number(f.Plane.DipAngle);
        row["dipdir"] = number(f.Plane.DipDirection);
        row["area"] = number(f.Area);
        row["extent"] = number(f.Extent);
        row["x"] = number(f.Centroid.x);
        row["y"] = number(f.Centroid.y);
        row["z"] = number(f.Centroid.z);
        row["rms"] = number(f.Rms);
        row["points"] = f.Points;
        const std::string& set = result.Joints.FacetSet[i];
        row["set"] = set.empty() ? CloudJson(nullptr) : CloudJson(set);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<CloudJson> cloudSetRows(const CloudResult& result) {
    std::vector<CloudJson> rows;
    for (const SetRow& s : setRows(result)) {
        CloudJson row;
        row["set"] = s.Label;
        row["dip"] = number(s.Set->Stats.MeanPlane.DipAngle);
        row["dipdir"] = number(s.Set->Stats.MeanPlane.DipDirection);
        row["k"] = number(s.Set->Stats.Kappa);
        row["cone95"] = number(s.Set->Stats.Cone95);
        row["count"] = s.Set->Members.size();
        row["area"] = number(s.Area);
        row["extent_mean"] = number(s.ExtentMean);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string cloudCsv(const CloudResult& result) {
    std::string out;
    const auto table = [&](const std::vector<std::string>& keys, const std::vector<CloudJson>& rows) {
        for (std::size_t k = 0; k < keys.size(); ++k) out += (k ? "," : "") + keys[k];
        out += "\r\n";
        for (const CloudJson& row : rows) {
            bool first = true;
            for (const auto& [key, value] : row.items()) {
                out += (first ? "" : ",") + csvCell(value);
                first = false;
            }
            out += "\r\n";
        }
    };
    table(FacetKeys, cloudFacetRows(result));
    out += "\r\n";
    table(SetKeys, cloudSetRows(result));
    return out;
}

std::vector<XlsxSheet> cloudSheets(const CloudResult& result) {
    return {sheetOf("facets", cloudFacetRows(result), FacetKeys, {"", "°", "°", "m²", "m", "m", "m", "m", "m", "", ""}),
            sheetOf("sets", cloudSetRows(result), SetKeys, {"", "°", "°", "", "°", "", "m²", "m"})};
}

std::string cloudSummaryText(const CloudResult& result, const std::string& cloudName) {
    const FacetSearch& s = result.Search;
    const CloudJoints& j = result.Joints;
    std::string out =
        say("点云 " + cloudName + "（" + result.Format + "）：读入 " + std::to_string(result.PointsRead) + " 点" +
                (result.Dropped ? "，另有植被和噪点 " + std::to_string(result.Dropped) + " 点未用" : "") + "，抽稀后 " +
                std::to_string(result.Points.size()) + " 点，点距约 " + fixed(s.Spacing, 3) + "，距离容差 " +
                fixed(s.MaxDistance, 3) + "\n",
            "cloud " + cloudName + " (" + result.Format + "): " + std::to_string(result.PointsRead) + " points read" +
                (result.Dropped ? ", " + std::to_string(result.Dropped) + " of vegetation and noise left out" : "") +
                ", " + std::to_string(result.Points.size()) + " after thinning, spacing about " + fixed(s.Spacing, 3) +
                ", distance tolerance " + fixed(s.MaxDistance, 3) + "\n");
    out += say("面片 " + std::to_string(s.Facets.size()) + " 个；点云平均面 " + fixed(s.MeanSurface.DipAngle, 1) + "/" +
                   fixed(s.MeanSurface.DipDirection, 1) + "\n",
               std::to_string(s.Facets.size()) + " facets; the cloud's mean surface " +
                   fixed(s.MeanSurface.DipAngle, 1) + "/" + fixed(s.MeanSurface.DipDirection, 1) + "\n");
    if (j.Face)
        out += say("坡面：" + fixed(j.Face->Stats.MeanPlane.DipAngle, 1) + "/" +
                       fixed(j.Face->Stats.MeanPlane.DipDirection, 1) + "，面片 " +
                       std::to_string(j.Face->Members.size()) + " 个，面积 " + fixed(j.FaceArea, 2) + "\n",
                   "slope face: " + fixed(j.Face->Stats.MeanPlane.DipAngle, 1) + "/" +
                       fixed(j.Face->Stats.MeanPlane.DipDirection, 1) + ", " + std::to_string(j.Face->Members.size()) +
                       " facets, area " + fixed(j.FaceArea, 2) + "\n");
    else
        out += inLanguage("没有与平均面平行的面片组，未识别坡面\n",
                          "no group of facets lies parallel to the mean surface: no slope face told apart\n");
    out += "\n";
    for (std::size_t i = 0; i < j.Sets.size(); ++i) {
        const FisherStats& f = j.Sets[i].Stats;
        const ExtentFit& e = j.Extents[i];
        const std::string k = f.Kappa ? (std::isfinite(*f.Kappa) ? fixed(*f.Kappa, 1) : "inf") : "-";
        const std::string cone = f.Cone95 ? fixed(*f.Cone95, 1) : "-";
        out += say(j.Sets[i].Label + "：" + fixed(f.MeanPlane.DipAngle, 1) + "/" + fixed(f.MeanPlane.DipDirection, 1) +
                       "，K = " + k + "，95%置信锥 " + cone + "°，面片 " + std::to_string(f.Count) + " 个，面积 " +
                       fixed(j.SetArea[i], 2) + "，延展平均 " + fixed(e.Mean, 3),
                   j.Sets[i].Label + ": " + fixed(f.MeanPlane.DipAngle, 1) + "/" + fixed(f.MeanPlane.DipDirection, 1) +
                       ", K = " + k + ", 95% cone " + cone + "°, " + std::to_string(f.Count) + " facets, area " +
                       fixed(j.SetArea[i], 2) + ", mean extent " + fixed(e.Mean, 3));
        if (e.LognormalMean)
            out += e.LognormalBetter ? say("，对数正态拟合较优：平均 " + fixed(*e.LognormalMean, 3) + "，标准差 " +
                                               fixed(*e.LognormalSd, 3),
                                           ", lognormal fits better: mean " + fixed(*e.LognormalMean, 3) + ", sd " +
                                               fixed(*e.LognormalSd, 3))
                                     : inLanguage("，指数分布拟合较优", ", exponential fits better");
        out += "\n";
    }
    std::size_t unassigned = 0;
    for (const Measurement& m : j.Planes) unassigned += m.Set.empty();
    if (unassigned)
        out += say("不属于任何组的面片 " + std::to_string(unassigned) + " 个\n",
                   std::to_string(unassigned) + " facets belong to no set\n");
    return out;
}

std::string cloudMeasurementsText(const CloudResult& result) {
    std::string out = "dip,dipdir,set,weight\r\n";
    for (const Measurement& m : result.Joints.Planes)
        out += floatToExactText(m.Plane.DipAngle) + "," + floatToExactText(m.Plane.DipDirection) + "," + m.Set + "," +
               floatToExactText(m.Weight) + "\r\n";
    if (out.size() > MaxMeasurementFileBytes)
        throw Error::refused(
            say("面片 " + std::to_string(result.Joints.Planes.size()) + " 个，测量文件将超过 1 MB：请增大最小面片面积",
                std::to_string(result.Joints.Planes.size()) +
                    " facets would make a measurement file of more than 1 MB: raise the least facet area"),
            "measurements-out");
    return out;
}

std::array<std::uint8_t, 3> cloudSetColour(int set) {
    static constexpr std::array<std::array<std::uint8_t, 3>, 8> Palette = {{{228, 26, 28},
                                                                            {55, 126, 184},
                                                                            {77, 175, 74},
                                                                            {152, 78, 163},
                                                                            {255, 127, 0},
                                                                            {166, 86, 40},
                                                                            {247, 129, 191},
                                                                            {23, 190, 207}}};
    if (set < 0) return {200, 200, 200};
    if (set == 0) return {110, 120, 140};
    return Palette[(set - 1) % Palette.size()];
}

std::string cloudFacetsPly(const CloudResult& result) {
    const std::vector<TPoint3D>& points = result.Points;
    std::string out = "ply\nformat binary_little_endian 1.0\ncomment TRELMOX facets coloured by set\nelement vertex " +
                      std::to_string(points.size()) +
                      "\nproperty double x\nproperty double y\nproperty double z\nproperty uchar red\n"
                      "property uchar green\nproperty uchar blue\nproperty int set\nend_header\n";
    out.reserve(out.size() + points.size() * 31);
    std::vector<int> facetSet(result.Search.Facets.size());
    for (std::size_t f = 0; f < facetSet.size(); ++f) facetSet[f] = setNumber(result.Joints.FacetSet[f]);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::uint32_t facet = i < result.Search.Member.size() ? result.Search.Member[i] : NoFacet;
        const int set = facet == NoFacet ? -1 : facetSet[facet];
        append(out, points[i].x), append(out, points[i].y), append(out, points[i].z);
        for (std::uint8_t c : cloudSetColour(set)) out += static_cast<char>(c);
        append(out, static_cast<std::int32_t>(set));
    }
    return out;
}

CloudSource cloudSource(const CloudResult& result, const std::string& file) {
    return {file, result.Format, result.PointsRead, result.Search.Facets.size(), result.Joints};
}

void addCloudSource(std::vector<ReportItem>& items, const CloudSource& cloud) {
    const CloudJoints& j = cloud.Joints;
    std::string face = inLanguage("未识别坡面", "no slope face was told apart");
    if (j.Face)
        face = say("坡面面片 " + std::to_string(j.Face->Members.size()) + " 个，平均产状 " +
                       fixed(j.Face->Stats.MeanPlane.DipAngle, 1) + "°/" +
                       fixed(j.Face->Stats.MeanPlane.DipDirection, 1) + "°，不计入结构面",
                   std::to_string(j.Face->Members.size()) + " facets of the slope face, mean attitude " +
                       fixed(j.Face->Stats.MeanPlane.DipAngle, 1) + "°/" +
                       fixed(j.Face->Stats.MeanPlane.DipDirection, 1) + "°, left out of the joints");
    items.push_back(ReportParagraph{
        say("结构面取自点云 " + cloud.File + "（" + cloud.Format + "，" + std::to_string(cloud.Points) +
                " 点）：按近邻点主成分求法向，区域生长得到平面面片 " + std::to_string(cloud.Facets) + " 个；" + face +
                "。结构面组的 Fisher 统计按面片面积加权。",
            "The joints were taken from the point cloud " + cloud.File + " (" + cloud.Format + ", " +
                std::to_string(cloud.Points) + " points): normals by principal components of the nearest points, " +
                std::to_string(cloud.Facets) + " planar facets by region growing; " + face +
                ". The sets' Fisher statistics weigh the facets by their area.")});
    ReportTable table{say("点云结构面组", "Joint sets of the point cloud"),
                      {say("组", "set"), say("平均产状", "mean attitude"), "K", say("95%置信锥", "95% cone"),
                       say("面片数", "facets"), say("面积", "area"), say("平均延展", "mean extent"),
                       say("延展分布", "extent distribution")},
                      {}};
    for (std::size_t s = 0; s < j.Sets.size(); ++s) {
        const FisherStats& f = j.Sets[s].Stats;
        const ExtentFit& e = j.Extents[s];
        std::string fit = say("指数", "exponential");
        if (e.LognormalBetter && e.LognormalMean)
            fit = say("对数正态 ", "lognormal ") + fixed(*e.LognormalMean, 2) + " ± " + fixed(*e.LognormalSd, 2);
        table.Rows.push_back(
            {j.Sets[s].Label, fixed(f.MeanPlane.DipAngle, 1) + "°/" + fixed(f.MeanPlane.DipDirection, 1) + "°",
             f.Kappa && std::isfinite(*f.Kappa) ? fixed(*f.Kappa, 1) : "-", f.Cone95 ? fixed(*f.Cone95, 1) + "°" : "-",
             std::to_string(f.Count), fixed(j.SetArea[s], 2), fixed(e.Mean, 2), fit});
    }
    items.push_back(std::move(table));
}

} // namespace trelmox
