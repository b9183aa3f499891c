#include "analysis/bolt_capacity.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/vec3.h"
#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox {

const char* boltLimitName(BoltLimit limit) {
    switch (limit) {
    case BoltLimit::Tendon: return inLanguage("杆体抗拉", "tendon strength");
    case BoltLimit::Plate: return inLanguage("垫板", "plate");
    case BoltLimit::BondInside: return inLanguage("楔块内粘结", "bond within the wedge");
    case BoltLimit::Anchorage: return inLanguage("节理外锚固", "anchorage beyond the joints");
    case BoltLimit::NotAnchored: return inLanguage("未锚入节理外岩体", "not anchored beyond the joints");
    }
    return "";
}

BoltHold boltHold(const WedgeShape& shape, const TPoint3D& head, const TPoint3D& direction, const BoltCapacity& c) {
    BoltHold hold;
    hold.Head = head;
    // The wedge is convex: the bolt leaves it through the first face whose
    // outward normal it points along. The head lies on the slope face, so
    // that face is left out; a bolt pointing out of it holds nothing.
    const WedgePolygon& face = shape.Faces[int(WedgeSurface::SlopeFace)];
    double exit = std::numeric_limits<double>::infinity();
    WedgeSurface through = WedgeSurface::SlopeFace;
    if (dot(direction, face.Normal) < 0) {
        for (int f = 0; f < WedgeSurfaceCount; ++f) {
            const WedgePolygon& p = shape.Faces[f];
            if (f == int(WedgeSurface::SlopeFace) || p.Count == 0) continue;
            const double along = dot(direction, p.Normal);
            if (!(along > 0)) continue;
            const double t = std::max(0.0, dot(p.Points[0] - head, p.Normal) / along);
            if (t < exit) exit = t, through = static_cast<WedgeSurface>(f);
        }
    }
    const bool anchored =
        through == WedgeSurface::FirstPlane || through == WedgeSurface::SecondPlane || through == WedgeSurface::Crack;
    hold.Inside = std::isfinite(exit) ? exit : 0;
    if (!anchored || hold.Inside >= c.Length) {
        hold.Inside = std::min(hold.Inside, c.Length);
        hold.Limit = BoltLimit::NotAnchored;
        return hold;
    }
    // Past the joint the grout holds in the rock mass only until the bolt
    // comes out of it again through the ground surface (the upper slope; the
    // slope face, which the bolt left at its head, it does not meet again).
    // So a bolt aimed at a joint's edge on the upper slope keeps almost no
    // anchorage, as it keeps none leaving through the upper slope itself.
    double rock = c.Length;
    for (WedgeSurface surface : {WedgeSurface::UpperSlope, WedgeSurface::SlopeFace}) {
        const WedgePolygon& p = shape.Faces[int(surface)];
        const double along = dot(direction, p.Normal);
        if (p.Count > 0 && along > 0) rock = std::min(rock, dot(p.Points[0] - head, p.Normal) / along);
    }
    hold.Beyond = std::max(0.0, rock - hold.Inside);
    const double anchorage = c.Bond * hold.Beyond;
    double onWedge = c.Plate;
    BoltLimit wedgeLimit = BoltLimit::Plate;
    if (c.Type == BoltType::GroutedDowel) onWedge = c.Bond * hold.Inside, wedgeLimit = BoltLimit::BondInside;
    if (c.Type == BoltType::Cable) onWedge = c.Plate + c.Bond * hold.Inside;
    hold.Force = c.Tendon, hold.Limit = BoltLimit::Tendon;
    if (onWedge < hold.Force) hold.Force = onWedge, hold.Limit = wedgeLimit;
    if (anchorage < hold.Force) hold.Force = anchorage, hold.Limit = BoltLimit::Anchorage;
    return hold;
}

TPoint3D faceCentroid(const WedgeShape& shape) {
    const WedgePolygon& face = shape.Faces[int(WedgeSurface::SlopeFace)];
    if (face.Count == 0) return {};
    // By triangles fanned from the first corner, each weighted by its area.
    TPoint3D sum{};
    double total = 0;
    for (int i = 1; i + 1 < face.Count; ++i) {
        const TPoint3D& a = face.Points[0];
        const TPoint3D &b = face.Points[i], &c = face.Points[i + 1];
        const double area = norm(cross(b - a, c - a));
        sum = sum + (area / 3) * (a + b + c);
        total += area;
    }
    if (!(total > 0)) return face.Points[0];
    return (1 / total) * sum;
}

std::vector<TPoint3D> patternHeads(const WedgeShape& shape, const BoltPattern& pattern) {
    const WedgePolygon& face = shape.Faces[int(WedgeSurface::SlopeFace)];
    std::vector<TPoint3D> heads;
    if (face.Count < 3) return heads;
    const TPoint3D n = face.Normal;
    // Along the strike (horizontal in the face) and up the dip.
    const double horizontal = std::hypot(n.x, n.y);
    const TPoint3D strike = horizontal > 1e-12 ? TPoint3D{-n.y / horizontal, n.x / horizontal, 0} : TPoint3D{1, 0, 0};
    TPoint3D up = cross(n, strike);
    if (up.z < 0) up = -1 * up;
    // The grid starts from the lowest corner of the trace.
    const TPoint3D origin = *std::min_element(face.Points.begin(), face.Points.begin() + face.Count,
                                              [](const TPoint3D& a, const TPoint3D& b) { return a.z < b.z; });
    double lowS = 0, highS = 0, lowU = 0, highU = 0;
    for (int i = 0; i < face.Count; ++i) {
        const TPoint3D d = face.Points[i] - origin;
        lowS = std::min(lowS, dot(d, strike)), highS = std::max(highS, dot(d, strike));
        lowU = std::min(lowU, dot(d, up)), highU = std::max(highU, dot(d, up));
    }
    const double first = std::floor(lowS / pattern.SpacingStrike - 0.5),
                 last = std::ceil(highS / pattern.SpacingStrike);
    const double rows = std::ceil(highU / pattern.SpacingDip), lowRow = std::floor(lowU / pattern.SpacingDip - 0.5);
    // Said by the spacings the user gave: a count worked out from them
    // can be infinite (a spacing of 5e-324) or round to nothing.
    if (!((last - first + 1) * (rows - lowRow + 1) <= 4.0 * MaxPatternBolts)) {
        const std::string strike = floatToText(pattern.SpacingStrike), dip = floatToText(pattern.SpacingDip);
        throw Error::refused(messageLanguage() == Language::English
                                 ? "the bolt pattern is too dense: spacings of " + strike + " m along the strike and " +
                                       dip + " m down the dip would put more than " + std::to_string(MaxPatternBolts) +
                                       " bolts on the wedge's slope face"
                                 : "系统锚杆的间距过密：沿走向间距 " + strike + " m、沿倾向间距 " + dip +
                                       " m 时楔块坡面上将有" + std::to_string(MaxPatternBolts) + "根以上锚杆",
                             pattern.SpacingStrike <= pattern.SpacingDip ? "pattern.spacing_strike"
                                                                         : "pattern.spacing_dip");
    }
    // Inside the trace: on the inner side of every edge (the corners run
    // one way round, so the edges' normals in the face all point in or all
    // out). A head on an edge, to within the rounding of the trace's size
    // (1e-9 of its longest edge), bears on no part of the wedge and holds
    // nothing of it: a spacing changed by rounding then adds no bolt.
    double longest = 0;
    for (int i = 0; i < face.Count; ++i)
        longest = std::max(longest, norm(face.Points[(i + 1) % face.Count] - face.Points[i]));
    const double onEdge = 1e-9 * longest;
    const auto inside = [&](const TPoint3D& q) {
        int sign = 0;
        for (int i = 0; i < face.Count; ++i) {
            const TPoint3D& a = face.Points[i];
            const TPoint3D& b = face.Points[(i + 1) % face.Count];
            const double side = dot(cross(b - a, q - a), n);
            if (!(std::fabs(side) > onEdge * norm(b - a))) return false;
            const int s = side > 0 ? 1 : -1;
            if (sign != 0 && s != sign) return false;
            sign = s;
        }
        return true;
    };
    for (double j = lowRow; j <= rows; ++j)
        for (double i = first; i <= last; ++i) {
            const TPoint3D q =
                origin + ((i + 0.5) * pattern.SpacingStrike) * strike + ((j + 0.5) * pattern.SpacingDip) * up;
            if (inside(q)) heads.push_back(q);
        }
    if (heads.size() > MaxPatternBolts)
        throw Error::refused(messageLanguage() == Language::English
                                 ? "the bolt pattern is too dense: the wedge's slope face holds " +
                                       std::to_string(heads.size()) + " bolts, over " + std::to_string(MaxPatternBolts)
                                 : "系统锚杆的间距过密：楔块坡面上有" + std::to_string(heads.size()) + "根锚杆，超过" +
                                       std::to_string(MaxPatternBolts) + "根");
    return heads;
}

} // namespace trelmox
