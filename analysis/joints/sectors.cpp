#include "analysis/joints/sectors.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

#include "analysis/block_analysis.h"
#include "analysis/orientation.h"
#include "analysis/planar.h"
#include "model/wording.h"
#include "model/attitude.h"
#include "model/error.h"
#include "model/files.h"
#include "model/numtext.h"
#include "model/textcodec.h"

namespace trelmox {

namespace {

enum class Column { Name, Dip, DipDirection, Height, TopDip, TopDipDirection };
struct ColumnName {
    const char* name;
    Column column;
};
constexpr ColumnName ColumnNames[] = {
    {"name", Column::Name},
    {"名称", Column::Name},
    {"dip", Column::Dip},
    {"倾角", Column::Dip},
    {"dipdir", Column::DipDirection},
    {"倾向", Column::DipDirection},
    {"height", Column::Height},
    {"坡高", Column::Height},
    {"top_dip", Column::TopDip},
    {"top_dipdir", Column::TopDipDirection},
};
constexpr std::size_t ListedErrors = 10;

std::string trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.back())) text.pop_back();
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    text.erase(text.begin(), first);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

std::vector<std::string> fields(std::string line) {
    for (std::size_t at; (at = line.find("，")) != std::string::npos;) line.replace(at, 3, ",");
    std::replace(line.begin(), line.end(), ';', ',');
    std::replace(line.begin(), line.end(), '\t', ',');
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
        out.push_back(trimmed(line.substr(start, comma - start)));
    out.push_back(trimmed(line.substr(start)));
    return out;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// `field` is the column's name in the header.
// `what` names the value in Chinese, `english` in English.
double numberIn(const std::string& text, const char* what, const char* english, const char* field, double low,
                double high) {
    double value = 0;
    try {
        value = textToFloat(text);
    } catch (const Error&) {
        throw Error::numberText(inLanguage(what + ("“" + visibleText(text) + "”不是数"),
                                           english + (" \"" + visibleText(text) + "\" is not a number")),
                                field);
    }
    if (!(value >= low && value <= high))
        throw Error::refused(
            inLanguage(what + (" " + floatToText(value) + " 超出范围 ") + boundToText(low) + "～" + boundToText(high),
                       english + (" " + floatToText(value) + " is out of the range ") + boundToText(low) + " to " +
                           boundToText(high)),
            field);
    return value;
}

} // namespace

std::vector<SlopeSector> parseSectors(const std::string& utf8Text) {
    std::istringstream in(utf8Text);
    std::vector<std::optional<Column>> columns;
    std::vector<SlopeSector> sectors;
    std::vector<std::string> problems;
    std::optional<Error> firstProblem; // its kind and source stand for the list
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        const std::string text = trimmed(line);
        if (text.empty() || text.front() == '#') continue;
        const std::vector<std::string> row = fields(text);
        try {
            if (columns.empty()) {
                for (const std::string& field : row) {
                    const std::string name = lower(field);
                    const auto known = std::find_if(std::begin(ColumnNames), std::end(ColumnNames),
                                                    [&](const ColumnName& c) { return name == c.name; });
                    if (known == std::end(ColumnNames))
                        throw Error::refused(inLanguage(
                            "表头中“" + visibleText(field) +
                                "”不是已知的列（name、dip、dipdir、height、top_dip、top_dipdir）",
                            "\"" + visibleText(field) +
                                "\" in the header is no known column (name, dip, dipdir, height, top_dip, top_dipdir)"));
                    if (std::find(columns.begin(), columns.end(), known->column) != columns.end())
                        throw Error::refused(inLanguage("表头中“" + visibleText(field) + "”重复",
                                                        "\"" + visibleText(field) + "\" is repeated in the header"));
                    columns.push_back(known->column);
                }
                for (Column needed : {Column::Name, Column::Dip, Column::DipDirection})
                    if (std::find(columns.begin(), columns.end(), needed) == columns.end())
                        throw Error::refused(inLanguage("表头须有 name、dip、dipdir 三列",
                                                        "the header needs the columns name, dip and dipdir"));
                continue;
            }
            if (row.size() != columns.size())
                throw Error::refused(inLanguage("有 " + std::to_string(row.size()) + " 个字段，表头有 " +
                                                    std::to_string(columns.size()) + " 列",
                                                "the line has " + std::to_string(row.size()) + " fields, the header " +
                                                    std::to_string(columns.size()) + " columns"));
            SlopeSector s;
            s.Line = lineNumber;
            bool topDirection = false;
            for (std::size_t i = 0; i < row.size(); ++i) {
                const std::string& f = row[i];
                switch (*columns[i]) {
                case Column::Name:
                    if (f.empty()) throw Error::refused(inLanguage("名称为空", "the name is empty"), "name");
                    // A name is printed in tables and on the terminal, where
                    // a control character would act.
                    if (std::any_of(f.begin(), f.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
                        throw Error::refused(
                            inLanguage("名称含有控制字符：“" + visibleText(f) + "”",
                                       "the name contains a control character: \"" + visibleText(f) + "\""),
                            "name");
                    s.Name = f;
                    break;
                case Column::Dip: s.Dip = numberIn(f, "坡面倾角", "slope face dip", "dip", 0, 180); break;
                case Column::DipDirection:
                    s.DipDirection = numberIn(f, "坡面倾向", "slope face dip direction", "dipdir", -360, 720);
                    break;
                case Column::Height:
                    if (!f.empty()) {
                        s.Height = numberIn(f, "坡高", "slope height", "height", 0, HUGE_VAL);
                        if (*s.Height == 0)
                            throw Error::refused(inLanguage("坡高须大于零", "the slope height must be above zero"),
                                                 "height");
                    }
                    break;
                case Column::TopDip:
                    if (!f.empty()) s.TopDip = numberIn(f, "坡顶面倾角", "upper slope dip", "top_dip", 0, 90);
                    break;
                case Column::TopDipDirection:
                    if (!f.empty()) {
                        s.TopDipDirection =
                            numberIn(f, "坡顶面倾向", "upper slope dip direction", "top_dipdir", -360, 720);
                        topDirection = true;
                    }
                    break;
                }
            }
            if (!topDirection) s.TopDipDirection = s.DipDirection;
            sectors.push_back(s);
        } catch (const Error& e) {
            problems.push_back(inLanguage("分区文件第 " + std::to_string(lineNumber) + " 行：" + e.what(),
                                          "sectors file line " + std::to_string(lineNumber) + ": " + e.what()));
            if (!firstProblem) firstProblem = e.withLine(lineNumber);
        }
    }
    if (columns.empty() && problems.empty())
        throw Error::refused(
            inLanguage("分区文件没有表头（name,dip,dipdir）", "the sectors file has no header (name,dip,dipdir)"));
    if (!problems.empty()) {
        std::string message;
        for (std::size_t i = 0; i < problems.size() && i < ListedErrors; ++i) message += (i ? "\n" : "") + problems[i];
        if (problems.size() > ListedErrors)
            message += inLanguage("\n另有 " + std::to_string(problems.size() - ListedErrors) + " 行有误",
                                  "\nand " + std::to_string(problems.size() - ListedErrors) + " more lines are wrong");
        throw firstProblem->reworded(message);
    }
    if (sectors.empty()) throw Error::refused(inLanguage("分区文件中没有分区", "the sectors file holds no sector"));
    return sectors;
}

std::vector<SlopeSector> readSectorFile(const std::filesystem::path& path) {
    return parseSectors(decodeUtf8OrGb18030(readFileBytes(path, MaxSectorFileBytes)).Utf8);
}

KinematicSlope kinematicSlope(const SlopeSector& sector, double frictionAngle, double lateralLimit) {
    return {sector.Dip, sector.DipDirection, frictionAngle, lateralLimit};
}

double topDipAcrossFace(const SlopeSector& sector) {
    return apparentDip({sector.TopDip, sector.TopDipDirection}, sector.DipDirection);
}

SavedBlock sectorBlock(const SavedBlock& block, const SlopeSector& sector) {
    if (!(sector.Dip >= 0 && sector.Dip <= 90))
        throw Error::refused(inLanguage("分区“" + sector.Name + "”的坡面倾角 " + floatToText(sector.Dip) +
                                            "° 为倒坡，不能作为组合分析的坡面",
                                        "the slope face dip " + floatToText(sector.Dip) + "° of sector \"" +
                                            sector.Name +
                                            "\" is overhanging and cannot be the slope face of a combination analysis"),
                             "dip");
    constexpr int Face = int(TPlaneRole::SlopeFace);
    SavedBlock result = block;
    result.Attitudes[Face] = {sector.Dip, std::fmod(std::fmod(sector.DipDirection, 360.0) + 360.0, 360.0)};
    PlaneQuadrantArray quadrants = block.Quadrants;
    data2to1(result.Attitudes, quadrants);
    result.Quadrants[Face] = quadrants[Face];
    return result;
}

namespace {

// Why a pair's wedge has no factor: its refusal, or its analysis's failure,
// worked out again to name the input an overflow comes from.
std::optional<Error> noFactorFailure(const PlanePair& p, const std::vector<CandidatePlane>& planes,
                                     const CombinationSlope& slope) {
    if (p.Refusal) return Error::refused(refusalMessage(*p.Refusal));
    const PlaneAttitudeArray attitudes = {planes[p.First].Plane, planes[p.Second].Plane, slope.Top, slope.Face};
    try {
        analyseWedge(attitudes, slope.Numbers, slope.Loads);
    } catch (const Error& failure) {
        return fullAnalysisFailure(failure, attitudes, slope.Numbers, slope.Loads);
    }
    if (p.FullFailure) return *p.FullFailure;
    return std::nullopt;
}

} // namespace

SectorFactors sectorFactors(const SlopeSector& sector, const std::vector<CandidatePlane>& candidates,
                            double frictionAngle, double lateralLimit) {
    SectorFactors result;
    // An overhanging face has no section of the planar block nor a slope
    // block of the wedge analysis.
    if (sector.Dip > 90) {
        result.WedgeNote = inLanguage("倒坡不计算安全系数", "no safety factor for an overhanging slope");
        return result;
    }
    const KinematicChecks checks(kinematicSlope(sector, frictionAngle, lateralLimit));
    const double defaultFriction = std::tan(frictionAngle * std::numbers::pi / 180);
    const double height = sector.Height.value_or(10);
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const CandidatePlane& c = candidates[i];
        if (!checks.planarSliding(c.Plane)) continue;
        PlanarSlope s;
        s.Height = height;
        s.FaceDip = sector.Dip;
        s.PlaneDip = c.Plane.DipAngle;
        // The crack at the crest; behind it for a vertical face, whose crest
        // stands above the toe and leaves no block there. Friction alone
        // gives f / tan(dip) wherever the crack stands.
        s.CrackDistance = sector.Dip == 90 ? height : 0.0;
        s.UnitWeight = 1;
        s.Friction = c.Friction.value_or(defaultFriction);
        try {
            const double factor = planarAnalysis(s).Factor;
            if (!result.Planar || factor < result.Planar->Factor) result.Planar = CriticalChoice{i, 0, false, factor};
        } catch (const Error&) {
            // A plane as steep as the face has no block: it stays critical by
            // kinematics alone.
        }
    }
    if (candidates.size() > MaxFactorPlanes &&
        std::all_of(candidates.begin(), candidates.end(), [](const CandidatePlane& c) { return c.Line != 0; })) {
        result.WedgeNote =
            inLanguage("未分组且结构面多于 " + std::to_string(MaxFactorPlanes) + " 个，不逐对计算楔块安全系数",
                       "more than " + std::to_string(MaxFactorPlanes) +
                           " planes without sets: no wedge safety factor for each pair");
        return result;
    }
    std::vector<CandidatePlane> dry = candidates;
    for (CandidatePlane& c : dry) c.Cohesion = 0;
    CombinationSlope slope;
    slope.Top = {sector.TopDip, sector.TopDipDirection};
    slope.Face = {sector.Dip, sector.DipDirection};
    slope.Numbers.RockUnitWeight = 26;
    slope.Numbers.WaterUnitWeight = 10;
    slope.Numbers.SlopeHeight = height;
    slope.Numbers.Friction1 = slope.Numbers.Friction2 = defaultFriction;
    slope.Loads.Water = WaterMode::None;
    std::optional<Error> unworked; // why the first wedge that can slide has no factor
    for (const PlanePair& p : combinePlanes(dry, slope)) {
        // Sorted by Fs: the first kinematically possible wedge is the critical one.
        if (!p.Kinematic) continue;
        if (!p.hasFactor()) {
            if (!unworked) unworked = noFactorFailure(p, dry, slope);
            continue;
        }
        result.Wedge = CriticalChoice{p.First, p.Second, true, p.Full->Factor};
        break;
    }
    // Wedges that can slide but none with a factor (an upper slope steeper
    // than the face, a height beyond the range of the arithmetic): the row
    // says why rather than leaving its factor out unexplained.
    if (!result.Wedge) result.WedgeFailure = std::move(unworked);
    return result;
}

} // namespace trelmox
