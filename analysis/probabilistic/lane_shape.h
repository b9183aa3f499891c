// The wedge of a block kernel's lanes: its tetrahedron
// (tetrahedron_formula.h, as the analysis cuts it), cut by the tension
// crack if there is one (polygon_formula.h, as the analysis clips it): its
// corners, faces, areas and volume, with the polygons' points per lane.
// Part of a block kernel's body (kernel_lanes.h), included by it after
// lane_values.h; no include guard: each kernel's own copy in its own
// unnamed namespace.

namespace trelmox {
namespace {

// The polygons of polygon_formula.h: their points differ in number from
// lane to lane.
template <int N> using LanePolygon = PolygonOf<Vec, N>;

// The tetrahedron of the wedge (polyhedron.cpp), cut by the tension crack if
// there is one; the fields the forces and the vector method read. The
// slope's normals are the trigonometry's own, not copied block by block.
struct LaneShape {
    const Vec& FaceOut;
    const Vec& Top;
    explicit LaneShape(const LaneTrig& trig) : FaceOut(trig.FaceOut), Top(trig.TopNormal) {}
    Vec Line, Sliding, Inward1, Inward2;
    V Area1, Area2, FaceArea, TopArea, Volume, LineTopZ;
    // With a crack: its normal into the wedge, where it cuts the line of
    // intersection (height), and its face.
    Vec CrackInward;
    V LineEndZ;
    LanePolygon<4> CrackFace{LanePolygon<4>::Unset{}};
    // The lowest point where the crack is open on the upper slope and on the
    // slope face (crackOpeningOf; infinity where it is not).
    V OpeningOnTop, OpeningOnFace;
    // The corners off the toe (the toe is the origin): where the line of
    // intersection, plane 1 and plane 2 meet the slope face's plane and the upper slope.
    Vec C1, C2, C3;
};

// The wedge with a crack: where it cuts the upper slope (crackAnchorOf), the
// faces clipped to the toe's side of it, and the volume as a fan from the
// toe over the upper slope's and the crack's faces (buildWedgeShape).
void cutByCrack(const KernelConstants& k, LaneShape& s, const Vec (&corner)[4], V topOffset, V distance,
                Outcomes<>& out) {
    const Vec crack = splatVec(k.CrackNormal);
    const CrackAnchorOf<Vec> at = crackAnchorOf(s.Line, s.FaceOut, s.Top, topOffset, distance, crack);
    const Vec& anchor = at.At;
    const V toe = at.Toe;
    out.settle(toe == splat(0), SampleOutcome::NoBlock);
    s.CrackInward = scale(pick(toe > splat(0), splat(1), splat(-1)), crack);
    V side[4];
    for (int i = 0; i < 4; ++i) side[i] = dot(s.CrackInward, sub(corner[i], anchor));
    out.settle(~(side[1] < splat(0)), SampleOutcome::NoBlock);
    s.LineEndZ = crossingOf(corner[0], corner[1], side[0], side[1]).z;
    // Faces opposite corners 0 and 1: the upper slope and the slope face.
    s.OpeningOnTop = crackOpeningOf(corner, side, 0);
    s.OpeningOnFace = crackOpeningOf(corner, side, 1);
    LanePolygon<4>& cut = s.CrackFace = LanePolygon<4>();
    addCrackCutsOf(cut, corner, side);
    sortAroundCentreOf(cut, s.CrackInward, out.Live);
    // Faces opposite corners 3, 2, 1, 0: plane 1, plane 2, slope face, upper slope.
    s.Area1 = polygonAreaOf(clippedFaceOf<LanePolygon<4>>(corner, side, 3));
    s.Area2 = polygonAreaOf(clippedFaceOf<LanePolygon<4>>(corner, side, 2));
    s.FaceArea = k.FacePressure != 0 ? polygonAreaOf(clippedFaceOf<LanePolygon<4>>(corner, side, 1)) : splat(0);
    const LanePolygon<4> top = clippedFaceOf<LanePolygon<4>>(corner, side, 0);
    s.TopArea = k.TopPressure != 0 ? polygonAreaOf(top) : splat(0);
    V volume = splat(0);
    Vec moment{};
    addFanOf(top, volume, moment);
    addFanOf(cut, volume, moment);
    s.Volume = volume;
}

LaneShape laneShape(const KernelConstants& k, const LaneTrig& trig, V height, V crackDistance, Outcomes<>& out) {
    using T = TrigTerm;
    const Vec p1 = upwardNormal(term(trig, T::Dip1), term(trig, T::Dir1));
    const Vec p2 = upwardNormal(term(trig, T::Dip2), term(trig, T::Dir2));
    LaneShape s(trig);
    const Vec& top = s.Top;
    // Every way of cutting out no block in one mask, which settles the
    // lanes as the analysis's first refusal would.
    struct NoBlock {
        M Where = splatMask(0);
        bool refuse(M where, WedgeRefusal) {
            Where |= where;
            return false;
        }
    } noBlock;
    const TetrahedronOf<Vec> t = tetrahedronOf(p1, p2, top, s.FaceOut, height * top.z, noBlock);
    out.settle(noBlock.Where, SampleOutcome::NoBlock);
    const Vec &c1 = t.C1, &c2 = t.C2, &c3 = t.C3;
    s.Line = t.Line;
    s.Sliding = scale(splat(-1), t.Line);
    s.Inward1 = inwardNormalOf(p1, c3), s.Inward2 = inwardNormalOf(p2, c2);
    s.LineTopZ = c1.z;
    if (k.Sized) s.C1 = c1, s.C2 = c2, s.C3 = c3; // only the limits' lengths read them
    if (k.Crack) {
        const Vec corner[4] = {{splat(0), splat(0), splat(0)}, c1, c2, c3};
        cutByCrack(k, s, corner, height * top.z, crackDistance, out);
        return s;
    }
    // The faces: plane 1 (toe, c1, c2), plane 2 (toe, c1, c3), the slope face
    // (toe, c2, c3), the upper slope (c1, c2, c3); the toe is the origin.
    s.Area1 = splat(0.5) * norm(cross(c1, c2));
    s.Area2 = splat(0.5) * norm(cross(c1, c3));
    // The faces' areas that no pressure loads are not worked out.
    s.FaceArea = k.FacePressure != 0 ? splat(0.5) * norm(cross(c2, c3)) : splat(0);
    s.TopArea = k.TopPressure != 0 ? splat(0.5) * norm(cross(sub(c2, c1), sub(c3, c1))) : splat(0);
    s.Volume = absolute(t.Volume6) / splat(6);
    return s;
}

} // namespace
} // namespace trelmox
