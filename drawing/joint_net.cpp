#include "drawing/joint_net.h"

#include <algorithm>
#include <cmath>

#include "analysis/joints/kinematics.h"
#include "analysis/vec3.h"
#include "drawing/contours.h"
#include "drawing/plane_style.h"
#include "model/numtext.h"
#include "model/language.h"

namespace trelmox {

namespace {

// The failure modes as the nets name them.
std::string modeTitle(KinematicMode mode) {
    switch (mode) {
    case KinematicMode::Planar: return inLanguage("平面滑动", "planar sliding");
    case KinematicMode::Wedge: return inLanguage("楔形滑动", "wedge sliding");
    case KinematicMode::FlexuralToppling: return inLanguage("弯曲倾倒", "flexural toppling");
    case KinematicMode::DirectToppling: return inLanguage("直接倾倒", "direct toppling");
    }
    return {};
}

constexpr double TextHeight = 0.055;
constexpr double LegendLeft = 1.32, SampleEnd = 1.44, LegendText = 1.49, LegendStep = 0.115;
const Colour Black{0, 0, 0};
const Colour White{255, 255, 255};
const Colour Unassigned{120, 120, 120};
const Colour ZoneFill = PrimaryZoneFill;
const Colour Sliding{210, 0, 0};
// Radii of the mean poles' and the pairs' markers, the height of a pair's label.
constexpr double MeanPoleMarker = 0.03, PairMarker = 0.022, PairLabelHeight = 0.05;
const Colour SetColours[] = {{32, 96, 176}, {40, 140, 60}, {215, 110, 10}, {150, 50, 160},
                             {0, 140, 140}, {170, 40, 40}, {110, 110, 0},  {90, 90, 210}};

// The sliding zone and the pairs' status need both the face and friction.
bool checksKinematics(const JointNetInput& input) { return input.SlopeFace && drawableFriction(input.FrictionAngle); }

Colour setColour(std::size_t index) { return SetColours[index % std::size(SetColours)]; }

// From light to dark blue with the level.
Colour contourColour(std::size_t level, std::size_t levels) {
    const double t = levels > 1 ? static_cast<double>(level) / (levels - 1) : 1;
    const auto mix = [t](int light, int dark) {
        return static_cast<std::uint8_t>(std::lround(light + t * (dark - light)));
    };
    return {mix(140, 10), mix(185, 35), mix(235, 120)};
}

TextItem label(Point2 at, std::string content, Colour colour = Black, double height = TextHeight,
               HAlign align = HAlign::Left) {
    return TextItem{at, std::move(content), height, colour, align, VAlign::Middle, false};
}

std::string numberText(double value, int decimals) {
    const double scale = std::pow(10, decimals);
    return floatToText(std::round(value * scale) / scale);
}

std::string kappaText(const FisherStats& stats) {
    if (!stats.Kappa) return "";
    return std::isinf(*stats.Kappa) ? " K=∞" : " K=" + numberText(*stats.Kappa, 1);
}

double poleRadius(std::size_t poles) {
    return std::clamp(0.4 / std::sqrt(static_cast<double>(poles) + 1), 0.004, 0.014);
}

// Lines whose plunge lies between the friction angle and the face's
// apparent dip in their trend: from the face's great circle out to the
// friction circle, over the trends where the apparent dip exceeds the
// friction angle.
std::optional<std::vector<Point2>> slidingZone(const TPlaneAttitude& face, double friction, NetProjection projection) {
    if (!(face.DipAngle > friction)) return std::nullopt;
    const double reach = degrees(std::acos(std::tan(radians(friction)) / std::tan(radians(face.DipAngle))));
    constexpr int Steps = 90;
    std::vector<Point2> inner, outer;
    for (int k = 0; k <= Steps; ++k) {
        const double trend = face.DipDirection - reach + 2 * reach * k / Steps;
        inner.push_back(projectLine({trend, std::max(friction, apparentDip(face, trend))}, projection));
        outer.push_back(projectLine({trend, friction}, projection));
    }
    inner.insert(inner.end(), outer.rbegin(), outer.rend());
    return inner;
}

// Points at plunge `plunge(trend)` for trends from `from` to `to`.
template <typename Plunge>
std::vector<Point2> arc(double from, double to, Plunge plunge, NetProjection projection, int steps = 60) {
    std::vector<Point2> points;
    for (int k = 0; k <= steps; ++k) {
        const double trend = from + (to - from) * k / steps;
        points.push_back(projectLine({trend, std::clamp(plunge(trend), 0.0, 90.0)}, projection));
    }
    return points;
}

std::vector<Point2> closedBand(std::vector<Point2> outer, const std::vector<Point2>& inner) {
    outer.insert(outer.end(), inner.rbegin(), inner.rend());
    return outer;
}

struct Zone {
    std::vector<Point2> Outline;
    Colour Fill;
};

// The critical zones of a mode on the net, as the checks define them; the
// secondary zones first, so that the primary ones cover them.
std::vector<Zone> modeZones(const JointNetInput& input, KinematicMode mode) {
    const TPlaneAttitude& face = *input.SlopeFace;
    const double phi = *input.FrictionAngle, lateral = std::clamp(input.LateralLimit, 0.0, 180.0);
    const NetProjection projection = input.Projection;
    const double back = face.DipDirection + 180;
    const auto faceDip = [&](double trend) { return apparentDip(face, trend); };
    std::vector<Zone> zones;
    switch (mode) {
    case KinematicMode::Planar: {
        // Poles of planes dipping more steeply than friction whose dip
        // vectors daylight: between the friction cone and the daylight
        // envelope, within the lateral limits about the face's opposite.
        zones.push_back({closedBand(arc(
                                        back - lateral, back + lateral,
                                        [&](double t) { return 90 - std::max(phi, faceDip(t - 180)); }, projection),
                                    arc(
                                        back - lateral, back + lateral, [&](double) { return 90 - phi; }, projection)),
                         PrimaryZoneFill});
        break;
    }
    case KinematicMode::Wedge: {
        zones.push_back(
            {closedBand(arc(
                            face.DipDirection - 90, face.DipDirection + 90, [](double) { return 0.0; }, projection),
                        arc(
                            face.DipDirection - 90, face.DipDirection + 90,
                            [&](double t) { return std::min(phi, std::max(0.0, faceDip(t))); }, projection)),
             SecondaryZoneFill});
        if (auto primary = slidingZone(face, phi, projection)) zones.push_back({std::move(*primary), PrimaryZoneFill});
        break;
    }
    case KinematicMode::FlexuralToppling: {
        // Poles below the slip limit (a plane dipping at the face's dip less
        // friction towards the face), within the lateral limits.
        if (!(face.DipAngle > phi)) break;
        const TPlaneAttitude slip{face.DipAngle - phi, face.DipDirection};
        const double d = face.DipDirection;
        zones.push_back(
            {closedBand(arc(
                            d - lateral, d + lateral, [](double) { return 0.0; }, projection),
                        arc(
                            d - lateral, d + lateral, [&](double t) { return apparentDip(slip, t); }, projection)),
             PrimaryZoneFill});
        break;
    }
    case KinematicMode::DirectToppling: {
        // Oblique toppling within friction of the vertical, direct toppling
        // into the slope within the lateral limits steeper than 90 less the
        // face's dip.
        std::vector<Point2> cone = arc(
            0, 360, [&](double) { return 90 - phi; }, projection, 120);
        zones.push_back({std::move(cone), SecondaryZoneFill});
        std::vector<Point2> direct = arc(
            back - lateral, back + lateral, [&](double) { return 90 - face.DipAngle; }, projection);
        if (lateral < 180) direct.push_back(projectLine({0, 90}, projection));
        zones.push_back({std::move(direct), PrimaryZoneFill});
        break;
    }
    }
    return zones;
}

// The base-plane envelope of direct toppling: poles of planes whose dip
// vectors daylight within the lateral limits; drawn as an outline.
std::vector<Point2> basePlaneEnvelope(const JointNetInput& input) {
    const TPlaneAttitude& face = *input.SlopeFace;
    const double back = face.DipDirection + 180, lateral = std::clamp(input.LateralLimit, 0.0, 180.0);
    std::vector<Point2> outline = arc(
        back - lateral, back + lateral, [&](double t) { return 90 - apparentDip(face, t - 180); }, input.Projection);
    if (lateral < 180) outline.push_back(projectLine({0, 90}, input.Projection));
    return outline;
}

std::string countLine(const KinematicCount& c) {
    return std::to_string(c.Critical) + "/" + std::to_string(c.Total) + inLanguage("（", " (") +
           numberText(c.percent(), 1) + inLanguage("%）", "%)");
}

std::vector<Colour> poleColours(const JointNetInput& input) {
    std::vector<Colour> colours(input.Planes.size(), Unassigned);
    for (std::size_t s = 0; s < input.Sets.size(); ++s)
        for (std::size_t i : input.Sets[s].Members)
            if (i < colours.size()) colours[i] = setColour(s);
    return colours;
}

Colour windowColour(const JointNetInput& input, const SetWindow& window) {
    for (std::size_t s = 0; s < input.Sets.size(); ++s)
        if (input.Sets[s].Label == window.Label) return setColour(s);
    return Black;
}

void addContours(Figure& figure, const DensityContours& contours) {
    for (std::size_t k = 0; k < contours.Levels.size(); ++k)
        for (const auto& line : contours.Lines[k])
            figure.items.push_back(polyline(line, Pen{contourColour(k, contours.Levels.size()), 0.006}));
}

void addSets(Figure& figure, const JointNetInput& input) {
    for (const SetWindow& window : input.Windows)
        for (auto& piece : smallCircle(window.Centre, window.HalfAngle, input.Projection))
            figure.items.push_back(
                polyline(std::move(piece), Pen{windowColour(input, window), 0.006, LineStyle::Dashed}));
    for (std::size_t s = 0; s < input.Sets.size(); ++s) {
        const FisherStats& stats = input.Sets[s].Stats;
        figure.items.push_back(polyline(greatCircle(stats.MeanPlane, input.Projection), Pen{setColour(s), 0.008}));
        if (stats.Cone95 && *stats.Cone95 > 0)
            for (auto& piece : smallCircle(stats.MeanPole, *stats.Cone95, input.Projection))
                figure.items.push_back(polyline(std::move(piece), Pen{setColour(s), 0.005}));
        const Point2 p = projectDirection(stats.MeanPole, input.Projection);
        figure.items.push_back(CircleItem{p, MeanPoleMarker, Pen{White, 0.007}, setColour(s)});
    }
}

// A label's box on the net.
struct Box {
    double Left, Bottom, Right, Top;
    bool overlaps(const Box& b) const { return Left < b.Right && b.Left < Right && Bottom < b.Top && b.Bottom < Top; }
    // A disc of radius r at p touches the box.
    bool touches(Point2 p, double r) const {
        const double dx = std::max({Left - p.x, 0.0, p.x - Right}), dy = std::max({Bottom - p.y, 0.0, p.y - Top});
        return dx * dx + dy * dy < r * r;
    }
};

// A left-aligned label of `height` whose text starts at `at`.
Box labelBox(Point2 at, const std::string& text, double height) {
    return {at.x, at.y - height / 2, at.x + labelWidth(text, height), at.y + height / 2};
}

constexpr double SetTagHeight = 0.065, SetTagMargin = 0.012;

// Each set's tag stands beside its mean pole, on its white patch.
Box setTagBox(const JointNetInput& input, std::size_t s) {
    const Point2 p = projectDirection(input.Sets[s].Stats.MeanPole, input.Projection);
    const Box text = labelBox({p.x + 0.045, p.y + 0.05}, input.Sets[s].Label, SetTagHeight);
    return {text.Left - SetTagMargin, text.Bottom - SetTagMargin, text.Right + SetTagMargin, text.Top + SetTagMargin};
}

// Each set's label beside its mean pole, on a white patch so that it stays
// legible over a dense cluster of poles.
void addSetTags(Figure& figure, const JointNetInput& input) {
    for (std::size_t s = 0; s < input.Sets.size(); ++s) {
        const Box b = setTagBox(input, s);
        figure.items.push_back(polygon({{b.Left, b.Bottom}, {b.Right, b.Bottom}, {b.Right, b.Top}, {b.Left, b.Top}},
                                       White, Pen{setColour(s), 0.004}));
        TextItem tag =
            label({b.Left + SetTagMargin, (b.Bottom + b.Top) / 2}, input.Sets[s].Label, setColour(s), SetTagHeight);
        tag.bold = true;
        figure.items.push_back(tag);
    }
}

struct PairLine {
    std::string Label;
    LineAttitude Line;
    std::optional<bool> Slides; // known when the face and the friction angle are given
};

std::vector<PairLine> pairLines(const JointNetInput& input) {
    std::vector<PairLine> lines;
    for (std::size_t a = 0; a < input.Sets.size(); ++a)
        for (std::size_t b = a + 1; b < input.Sets.size(); ++b) {
            const TPlaneAttitude& first = input.Sets[a].Stats.MeanPlane;
            const TPlaneAttitude& second = input.Sets[b].Stats.MeanPlane;
            const auto line = intersectionLine(first, second);
            if (!line) continue;
            PairLine pair{input.Sets[a].Label + "×" + input.Sets[b].Label, *line, std::nullopt};
            if (checksKinematics(input))
                pair.Slides = wedgeKinematics(first, second, *input.SlopeFace, *input.FrictionAngle).possible();
            lines.push_back(pair);
        }
    return lines;
}

// Where each pair's label goes: beside its marker, on the side that covers
// the fewest poles, and never, where a side is free, over a set's tag or
// mean pole, another pair's marker or a label already placed (a pair's
// line often falls among the poles of one of its own sets).
std::vector<Point2> pairLabelPlaces(const JointNetInput& input, const std::vector<Point2>& markers,
                                    const std::vector<PairLine>& lines) {
    std::vector<Point2> poles;
    poles.reserve(input.Planes.size());
    for (const Measurement& m : input.Planes) poles.push_back(projectDirection(planePole(m.Plane), input.Projection));
    const double poleSize = poleRadius(input.Planes.size());
    std::vector<Box> taken;
    for (std::size_t s = 0; s < input.Sets.size(); ++s) taken.push_back(setTagBox(input, s));
    std::vector<Point2> meanPoles;
    for (const JointSet& set : input.Sets) meanPoles.push_back(projectDirection(set.Stats.MeanPole, input.Projection));

    constexpr double Gap = 0.035, Rise = 0.04;
    // Covering a label or a marker is worse than covering any number of
    // poles that a net can hold around one point.
    constexpr double Blocked = 1e6;
    std::vector<Point2> places;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const Point2 p = markers[k];
        const double width = labelWidth(lines[k].Label, PairLabelHeight);
        // Below right first, as the pairs have always been labelled.
        const Point2 candidates[] = {{p.x + Gap, p.y - Rise},         {p.x + Gap, p.y + Rise},
                                     {p.x - Gap - width, p.y - Rise}, {p.x - Gap - width, p.y + Rise},
                                     {p.x + Gap + 0.01, p.y},         {p.x - Gap - 0.01 - width, p.y},
                                     {p.x - width / 2, p.y + 0.065},  {p.x - width / 2, p.y - 0.065}};
        double best = HUGE_VAL;
        Point2 chosen = candidates[0];
        Box chosenBox{};
        for (const Point2& at : candidates) {
            const Box box = labelBox(at, lines[k].Label, PairLabelHeight);
            double cost = 0;
            for (const Box& other : taken) cost += other.overlaps(box) ? Blocked : 0;
            for (std::size_t m = 0; m < markers.size(); ++m) cost += box.touches(markers[m], PairMarker) ? Blocked : 0;
            for (const Point2& mean : meanPoles) cost += box.touches(mean, MeanPoleMarker) ? Blocked : 0;
            for (const Point2& pole : poles) cost += box.touches(pole, poleSize) ? 1 : 0;
            if (cost < best) {
                best = cost;
                chosen = at;
                chosenBox = box;
            }
            if (cost == 0) break;
        }
        taken.push_back(chosenBox);
        places.push_back(chosen);
    }
    return places;
}

void addPairLines(Figure& figure, const JointNetInput& input, const std::vector<PairLine>& lines) {
    std::vector<Point2> markers;
    for (const PairLine& pair : lines) markers.push_back(projectLine(pair.Line, input.Projection));
    const std::vector<Point2> places = pairLabelPlaces(input, markers, lines);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const bool slides = lines[k].Slides.value_or(false);
        figure.items.push_back(
            CircleItem{markers[k], PairMarker, Pen{slides ? White : Black, 0.005}, slides ? Sliding : White});
        figure.items.push_back(label(places[k], lines[k].Label, slides ? Sliding : Black, PairLabelHeight));
    }
}

class Legend {
public:
    explicit Legend(Figure& figure) : figure_(figure) {}
    void title(const std::string& text, double height) {
        TextItem item = label({LegendLeft, y_}, text, Black, height);
        item.bold = true;
        figure_.items.push_back(item);
        y_ -= LegendStep;
    }
    void line(const Pen& pen, const std::string& text) {
        figure_.items.push_back(polyline({{LegendLeft, y_}, {SampleEnd, y_}}, pen));
        entry(text);
    }
    void dot(Colour fill, Colour edge, const std::string& text) {
        figure_.items.push_back(CircleItem{{(LegendLeft + SampleEnd) / 2, y_}, 0.022, Pen{edge, 0.005}, fill});
        entry(text);
    }
    void patch(Colour fill, const std::string& text) {
        figure_.items.push_back(polygon(
            {{LegendLeft, y_ - 0.035}, {SampleEnd, y_ - 0.035}, {SampleEnd, y_ + 0.035}, {LegendLeft, y_ + 0.035}},
            fill));
        entry(text);
    }
    void text(const std::string& text) { entry(text, LegendLeft); }
    // The levels side by side, each after a sample of its line.
    void levels(const DensityContours& contours) {
        const double width = 0.2;
        for (std::size_t k = 0; k < contours.Levels.size(); ++k) {
            if (k > 0 && k % 5 == 0) y_ -= LegendStep;
            const double x = LegendLeft + (k % 5) * width;
            figure_.items.push_back(
                polyline({{x, y_}, {x + 0.05, y_}}, Pen{contourColour(k, contours.Levels.size()), 0.01}));
            figure_.items.push_back(label({x + 0.065, y_}, numberText(contours.Levels[k], 2), Black, 0.045));
        }
        y_ -= LegendStep;
    }

private:
    void entry(const std::string& text, double left = LegendText) {
        figure_.items.push_back(label({left, y_}, text));
        y_ -= LegendStep;
    }
    Figure& figure_;
    double y_ = 1.2;
};

std::string densityTitle(const DensityOptions& options) {
    return std::string(inLanguage("等密度线（", "density contours (")) +
           (options.Method == DensityMethod::Fisher ? inLanguage("Fisher 平滑", "Fisher smoothing")
                                                    : inLanguage("Kamb 计数", "Kamb counting")) +
           inLanguage("，计数面积 ", ", counting area ") + numberText(options.AreaShare * 100, 2) +
           inLanguage("%），%/1%面积：", "%), % per 1% area:");
}

void addLegend(Figure& figure, const JointNetInput& input, const std::optional<DensityContours>& contours,
               const std::vector<PairLine>& lines) {
    Legend legend(figure);
    if (!input.Caption.empty()) legend.title(input.Caption, 0.07);
    legend.title(projectionTitle(input.Projection) + inLanguage("，极点 ", ", ") + std::to_string(input.Planes.size()) +
                     inLanguage(" 个", " poles"),
                 TextHeight);
    for (std::size_t s = 0; s < input.Sets.size(); ++s) {
        const JointSet& set = input.Sets[s];
        std::string text = set.Label + " " + std::to_string(set.Stats.Count) + inLanguage(" 个 ", " planes ") +
                           attitudeLabel(set.Stats.MeanPlane.DipDirection, set.Stats.MeanPlane.DipAngle) +
                           kappaText(set.Stats);
        if (set.Stats.Cone95) text += " α95=" + angleText(*set.Stats.Cone95);
        legend.dot(setColour(s), White, text);
    }
    if (contours) {
        legend.text(densityTitle(*input.Density));
        legend.levels(*contours);
        legend.text(inLanguage("最大 ", "maximum ") + numberText(contours->Maximum, 2) + inLanguage("%，在 ", "% at ") +
                    [&] {
                        const LineAttitude at = lineAttitude(contours->MaximumAt);
                        return attitudeLabel(at.Trend, at.Plunge);
                    }());
    }
    if (input.SlopeFace)
        legend.line(Pen{planeColour(TPlaneRole::SlopeFace), 0.013},
                    std::string(inLanguage("坡面 ", "slope face ")) +
                        attitudeLabel(input.SlopeFace->DipDirection, input.SlopeFace->DipAngle));
    if (drawableFriction(input.FrictionAngle))
        legend.line(frictionPen(), inLanguage("摩擦圆 φ=", "friction circle φ=") + angleText(*input.FrictionAngle));
    if (checksKinematics(input) && input.Mode) {
        const KinematicMode mode = *input.Mode;
        const std::string lateral = inLanguage("，侧向界限 ±", ", lateral limits ±") + angleText(input.LateralLimit);
        std::string primary, secondary;
        switch (mode) {
        case KinematicMode::Planar:
            primary = inLanguage("极点落此区内可平面滑动", "poles in this zone can slide planar") + lateral;
            break;
        case KinematicMode::Wedge:
            primary = inLanguage("交线落此区内楔块可滑动", "wedges whose intersection lies in this zone can slide");
            secondary = inLanguage("次要区：可沿单一结构面滑动", "secondary zone: sliding on one plane");
            break;
        case KinematicMode::FlexuralToppling:
            primary = inLanguage("极点落此区内可弯曲倾倒", "poles in this zone can topple (flexural)") + lateral;
            break;
        case KinematicMode::DirectToppling:
            primary = inLanguage("交线落此区内可直接倾倒", "intersections in this zone can topple (direct)") + lateral;
            secondary = inLanguage("斜向倾倒区", "oblique toppling zone");
            break;
        }
        legend.title(modeTitle(mode), TextHeight);
        legend.patch(PrimaryZoneFill, primary);
        if (!secondary.empty()) legend.patch(SecondaryZoneFill, secondary);
        if (mode == KinematicMode::DirectToppling)
            legend.line(Pen{Sliding, 0.006, LineStyle::Dashed},
                        inLanguage("底面包络（极点）", "base plane envelope (poles)"));
        if (input.Counts) {
            const ModeResult& m = input.Counts->mode(mode);
            legend.text(std::string(checksIntersections(mode) ? inLanguage("临界交线 ", "critical intersections ")
                                                              : inLanguage("临界极点 ", "critical poles ")) +
                        countLine(m.All));
        }
    } else if (checksKinematics(input)) {
        legend.patch(ZoneFill,
                     inLanguage("交线落此区内楔块可滑动", "wedges whose intersection lies in this zone can slide"));
    }
    if (!lines.empty()) {
        if (checksKinematics(input)) {
            legend.dot(Sliding, White, inLanguage("组间交线：可滑动", "intersections of sets: can slide"));
            legend.dot(White, Black, inLanguage("组间交线：不滑动", "intersections of sets: do not slide"));
        } else {
            legend.dot(White, Black, inLanguage("组间交线", "intersections of sets"));
        }
    }
}

} // namespace

Figure jointNetFigure(const JointNetInput& input) {
    // The net in the unit circle, the key to its right.
    Figure figure{-1.3, -1.3, 2.85, 1.3, {255, 255, 255}, {}};
    if (checksKinematics(input)) {
        if (input.Mode) {
            for (Zone& zone : modeZones(input, *input.Mode))
                figure.items.push_back(polygon(std::move(zone.Outline), zone.Fill));
        } else if (auto zone = slidingZone(*input.SlopeFace, *input.FrictionAngle, input.Projection)) {
            figure.items.push_back(polygon(std::move(*zone), ZoneFill));
        }
    }
    addNetFrame(figure);
    if (checksKinematics(input) && input.Mode == KinematicMode::DirectToppling)
        figure.items.push_back(polygon(basePlaneEnvelope(input), std::nullopt, Pen{Sliding, 0.006, LineStyle::Dashed}));

    std::optional<DensityContours> contours;
    if (input.Density && !input.Planes.empty()) {
        contours = densityContours(PoleDensity(polesOf(input.Planes), *input.Density), input.Projection, input.GridSize,
                                   input.ContourLevels);
        addContours(figure, *contours);
    }
    const std::vector<Colour> colours = poleColours(input);
    const double radius = poleRadius(input.Planes.size());
    for (std::size_t i = 0; i < input.Planes.size(); ++i)
        figure.items.push_back(CircleItem{projectDirection(planePole(input.Planes[i].Plane), input.Projection), radius,
                                          std::nullopt, colours[i]});
    if (input.SlopeFace)
        figure.items.push_back(
            polyline(greatCircle(*input.SlopeFace, input.Projection), Pen{planeColour(TPlaneRole::SlopeFace), 0.013}));
    if (drawableFriction(input.FrictionAngle))
        figure.items.push_back(
            CircleItem{{0, 0}, netRadius(*input.FrictionAngle, input.Projection), frictionPen(), std::nullopt});
    addSets(figure, input);
    const std::vector<PairLine> lines = pairLines(input);
    addPairLines(figure, input, lines);
    addSetTags(figure, input);
    addLegend(figure, input, contours, lines);
    // The key's longest line sets the frame's right edge: English lines are
    // longer than Chinese ones and would run off the picture.
    for (const FigureItem& item : figure.items)
        if (const auto* text = std::get_if<TextItem>(&item); text && text->hAlign == HAlign::Left)
            figure.xMax = std::max(figure.xMax, text->position.x + labelWidth(text->text, text->height) + 0.05);
    return figure;
}

} // namespace trelmox
