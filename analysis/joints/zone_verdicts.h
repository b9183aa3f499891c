#pragma once
// Whether all the directions within some angle of a direction lie in a
// kinematic zone of a slope, all outside it, or some either way: for a cell
// of the sphere (its extent) and for one line of intersection (its
// rounding), by products of unit vectors with the limits' sines and
// cosines. Only where the answer is "some either way" must a line be
// tested by KinematicChecks itself. For kinematic_pairs.cpp.
#include <cmath>
#include <cstdint>
#include <numbers>

#include "analysis/joints/kinematics.h"
#include "analysis/vec3.h"

namespace trelmox::zones {

inline constexpr double HalfPi = std::numbers::pi / 2;

// How far beyond a direction's reach a limit must lie for it to be
// decided: far above the checks' tolerance and any rounding of a line or
// of its cell.
inline constexpr double Margin = 1e-7; // radians

// The horizontal length below which a unit line is taken as vertical
// without a doubt: well under the sine of KinematicTolerance (1.7e-11).
inline constexpr double VerticalLine = 1e-11;

enum class Tri : std::uint8_t { No, Yes, Unknown };

inline Tri both(Tri a, Tri b) {
    if (a == Tri::No || b == Tri::No) return Tri::No;
    return a == Tri::Yes && b == Tri::Yes ? Tri::Yes : Tri::Unknown;
}

// An angle with its sine and cosine.
struct Angle {
    double Radians, Sin, Cos;
    explicit Angle(double radians) : Radians(radians), Sin(std::sin(radians)), Cos(std::cos(radians)) {}
};

// A slope's limits.
struct SlopeLimits {
    TPoint3D FaceNormal;             // outward, unit
    Angle Friction, Column, Oblique; // least plunges: sliding, direct and oblique toppling
    Angle Lateral;                   // either side of Back
    double BackX, BackY;             // horizontal unit vector opposite the dip direction
    bool AnyColumn, AnyLateral;      // overhanging face; lateral limits of 180 degrees
    explicit SlopeLimits(const KinematicSlope& s)
        : FaceNormal(), Friction(radians(s.FrictionAngle)), Column(HalfPi - radians(s.FaceDip)),
          Oblique(HalfPi - radians(s.FrictionAngle)), Lateral(radians(s.LateralLimit)),
          BackX(-std::sin(radians(std::fmod(s.FaceDipDirection, 360.0)))),
          BackY(-std::cos(radians(std::fmod(s.FaceDipDirection, 360.0)))), AnyColumn(s.FaceDip >= 90),
          AnyLateral(s.LateralLimit >= 180) {
        const double dip = radians(s.FaceDip), direction = radians(std::fmod(s.FaceDipDirection, 360.0));
        FaceNormal = {std::sin(dip) * std::sin(direction), std::sin(dip) * std::cos(direction), std::cos(dip)};
    }
};

// Everything within `Reach` of a direction; for a cell its lateral spread
// grows towards the vertical, for a line (rounding in its trend alone) not.
struct Reach {
    Angle Extent;
    bool Cap;
};

// A direction `down` (unit, below the horizontal by more than its reach)
// plunges at least `limit`.
inline Tri plungesAtLeast(double sine, const Angle& limit, const Angle& reach) {
    if (limit.Radians + reach.Radians < HalfPi && sine > limit.Sin * reach.Cos + limit.Cos * reach.Sin) return Tri::Yes;
    if (sine < limit.Sin * reach.Cos - limit.Cos * reach.Sin) return Tri::No;
    return Tri::Unknown;
}

// `across`: the horizontal length of `down`; `spread` the horizontal
// length of its reach (a cap's grows towards the vertical, a line's is its
// own). Products only: within the lateral limits when the angle from Back
// and the spread are below them.
inline Tri withinLateral(const TPoint3D& down, double across, const SlopeLimits& s, const Reach& reach) {
    if (s.AnyLateral) return Tri::Yes;
    const double spreadSin = reach.Cap ? reach.Extent.Sin : reach.Extent.Sin * across; // times across
    // A reach that spreads all round the vertical says nothing of the trend.
    if (!(spreadSin < 0.5 * across)) return Tri::Unknown;
    const double spreadCos = reach.Cap ? std::sqrt(across * across - spreadSin * spreadSin) : reach.Extent.Cos * across;
    const double along = down.x * s.BackX + down.y * s.BackY; // across times the cosine of the angle from Back
    const Angle& l = s.Lateral;
    const bool wide = l.Radians >= HalfPi, clear = l.Sin * across > spreadSin;
    if ((wide || clear) && along > l.Cos * spreadCos + l.Sin * spreadSin) return Tri::Yes;
    if ((!wide || clear) && along < l.Cos * spreadCos - l.Sin * spreadSin) return Tri::No;
    return Tri::Unknown;
}

// Verdicts: the wedge zone in the low two bits, the toppling zone in the
// next two.
inline constexpr std::uint8_t WedgePrimary = 1, WedgeSecondary = 2, Undecided = 3;
inline constexpr std::uint8_t ToppleDirect = 1, ToppleOblique = 2;
inline constexpr std::uint8_t Open = Undecided | Undecided << 2;

inline std::uint8_t wedgeVerdict(Tri daylights, Tri steep) {
    if (daylights == Tri::No) return 0;
    if (daylights == Tri::Unknown) return Undecided;
    return steep == Tri::Yes ? WedgePrimary : steep == Tri::No ? WedgeSecondary : Undecided;
}

// The verdict of everything within the reach of `down` (unit). Near the
// horizontal, where a line is checked at both ends, nothing is decided.
inline std::uint8_t verdict(const TPoint3D& down, const SlopeLimits& s, const Reach& reach) {
    const double sine = -down.z;
    const Angle& r = reach.Extent;
    if (!(sine > 2 * r.Sin)) return Open;
    const double along = dot(down, s.FaceNormal);
    const std::uint8_t wedge = wedgeVerdict(along > r.Sin    ? Tri::Yes
                                            : along < -r.Sin ? Tri::No
                                                             : Tri::Unknown,
                                            plungesAtLeast(sine, s.Friction, r));
    Tri direct = s.AnyColumn ? Tri::Yes : plungesAtLeast(sine, s.Column, r);
    if (direct != Tri::No) {
        const double across = std::sqrt(down.x * down.x + down.y * down.y);
        // A line well within the checks' tolerance of the vertical (two
        // upright planes meet in one) lies within every lateral limit.
        const Tri lateral = !reach.Cap && across < VerticalLine ? Tri::Yes
                            : across > 2 * r.Sin                ? withinLateral(down, across, s, reach)
                                                                : Tri::Unknown;
        direct = both(direct, lateral);
    }
    std::uint8_t topple = direct == Tri::Yes ? ToppleDirect : Undecided;
    if (direct == Tri::No) {
        const Tri oblique = plungesAtLeast(sine, s.Oblique, r);
        topple = oblique == Tri::Yes ? ToppleOblique : oblique == Tri::No ? 0 : Undecided;
    }
    return static_cast<std::uint8_t>(wedge | topple << 2);
}

// A cell's verdicts for every slope, a bit a slope: where all its lines lie
// (the wedges' primary or secondary zone, direct or oblique toppling), and
// which zones it leaves open. One cache line, which is all a pair of planes
// reads of its line's cell.
struct alignas(64) CellVerdicts {
    std::uint64_t WedgeOpen = 0, ToppleOpen = 0, Primary = 0, Secondary = 0, Direct = 0, Oblique = 0;
    std::uint64_t SquaresAt = 0; // where the verdicts of its squares begin, for open cells
    std::uint64_t open() const { return WedgeOpen | ToppleOpen; }

    void set(std::size_t slope, std::uint8_t verdict) {
        const std::uint64_t bit = std::uint64_t(1) << slope;
        const std::uint8_t wedge = verdict & 3, topple = static_cast<std::uint8_t>(verdict >> 2);
        if (wedge == Undecided) WedgeOpen |= bit;
        if (wedge == WedgePrimary) Primary |= bit;
        if (wedge == WedgeSecondary) Secondary |= bit;
        if (topple == Undecided) ToppleOpen |= bit;
        if (topple == ToppleDirect) Direct |= bit;
        if (topple == ToppleOblique) Oblique |= bit;
    }
    std::uint8_t get(std::size_t slope) const {
        const auto has = [slope](std::uint64_t bits) { return (bits >> slope & 1) != 0; };
        const std::uint8_t wedge = has(WedgeOpen)   ? Undecided
                                   : has(Primary)   ? WedgePrimary
                                   : has(Secondary) ? WedgeSecondary
                                                    : 0;
        const std::uint8_t topple = has(ToppleOpen) ? Undecided
                                    : has(Direct)   ? ToppleDirect
                                    : has(Oblique)  ? ToppleOblique
                                                    : 0;
        return static_cast<std::uint8_t>(wedge | topple << 2);
    }
};

// The verdict `known` with its undecided halves taken from `closer`.
inline std::uint8_t refined(std::uint8_t known, std::uint8_t closer) {
    const std::uint8_t wedge = (known & 3) == Undecided ? closer & 3 : known & 3;
    const std::uint8_t topple = (known >> 2) == Undecided ? closer >> 2 : known >> 2;
    return static_cast<std::uint8_t>(wedge | topple << 2);
}

} // namespace trelmox::zones
