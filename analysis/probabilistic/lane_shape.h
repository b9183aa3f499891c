// The wedge of a block kernel's lanes: its tetrahedron
// (tetrahedron_formula.h, as the analysis cuts it), cut by the tension
// crack if there is one (polyhedron.cpp's clipping, lane by lane): its
// corners, faces, areas and volume, with the polygons' points per lane.
// Part of a block kernel's body (kernel_lanes.h), included by it after
// lane_values.h; no include guard: each kernel's own copy in its own
// unnamed namespace.

namespace trelmox {
namespace {

// A convex polygon of up to N points in each lane, the number of points per
// lane: the scalar polygons, whose points differ in number from lane to lane.
template <int N> struct LanePolygon {
    Vec P[N];
    M Count = splatMask(0);
    LanePolygon() {
        for (Vec& p : P) p = {splat(0), splat(0), splat(0)};
    }
    // Points not set: a polygon only a crack fills, which is set empty first.
    struct Unset {};
    explicit LanePolygon(Unset) {}
    // Appends p in the lanes `when` that hold fewer than N points.
    TRELMOX_INLINE void add(M when, const Vec& p) {
        when &= Count < splatMask(N);
        for (int k = 0; k < N; ++k) P[k] = pickVec(when & (Count == splatMask(k)), p, P[k]);
        Count -= when; // a true lane is -1
    }
    TRELMOX_INLINE M has(int points) const { return Count >= splatMask(points); }
};

// polyhedron.cpp's polygonArea: a fan of triangles from point 0.
TRELMOX_INLINE V polygonArea(const LanePolygon<4>& f) {
    const Vec first = sub(f.P[1], f.P[0]);
    Vec twice = cross(first, sub(f.P[2], f.P[0]));
    twice = pickVec(f.has(4), add(twice, cross(sub(f.P[2], f.P[0]), sub(f.P[3], f.P[0]))), twice);
    return pick(f.has(3), splat(0.5) * norm(twice), splat(0));
}

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
    // slope face (forces.cpp's lowestOpening; infinity where it is not).
    V OpeningOnTop, OpeningOnFace;
    // The corners off the toe (the toe is the origin): where the line of
    // intersection, plane 1 and plane 2 meet the slope face's plane and the upper slope.
    Vec C1, C2, C3;
};

// The crack's face (storeCrackFace) in order of the angle about its centre.
// The order comes from the signs of cross products where every comparison
// of the scalar code's atan2 angles is certain (angles apart by far more
// than atan2's rounding); lanes where it is not (a face with two points in
// one direction from the centre, or one opposite point 0) take atan2 itself.
void sortAroundCentre(LanePolygon<4>& f, const Vec& inward, M live) {
    const M four = f.has(4);
    Vec centre = add(add(add(Vec{splat(0), splat(0), splat(0)}, f.P[0]), f.P[1]), f.P[2]);
    centre = pickVec(four, add(centre, f.P[3]), centre);
    centre = scale(pick(four, splat(1.0 / 4), splat(1.0 / 3)), centre);
    const Vec u = sub(f.P[0], centre), v = cross(inward, u);
    V x[4], y[4];
    for (int i = 0; i < 4; ++i) {
        const Vec d = sub(f.P[i], centre);
        x[i] = dot(d, u), y[i] = dot(d, v);
    }
    // Point 0 lies at angle 0; the others at a clear distance from 0 and pi.
    const V margin = splat(0x1p-30);
    M clear = splatMask(-1), upper[4];
    for (int i = 1; i < 4; ++i) {
        clear &= ~f.has(i + 1) | (absolute(y[i]) > margin * absolute(x[i]));
        upper[i] = y[i] > splat(0);
    }
    M rank[4];
    rank[0] = splatMask(0);
    for (int i = 1; i < 4; ++i) rank[0] -= f.has(i + 1) & ~upper[i];
    for (int i = 1; i < 4; ++i) {
        rank[i] = splatMask(0) - upper[i];
        for (int j = 1; j < 4; ++j) {
            if (j == i) continue;
            const V turn = x[j] * y[i] - y[j] * x[i]; // > 0: j's angle below i's
            const M sameHalf = ~(upper[i] ^ upper[j]) & f.has(j + 1) & f.has(i + 1);
            clear &= ~sameHalf | (absolute(turn) >
                                  margin * ((absolute(x[j]) + absolute(y[j])) * (absolute(x[i]) + absolute(y[i]))));
            rank[i] -= f.has(j + 1) & ((~upper[j] & upper[i]) | (sameHalf & (turn > splat(0))));
        }
    }
    LanePolygon<4> sorted = f;
    for (int r = 0; r < 4; ++r)
        for (int i = 0; i < 4; ++i)
            sorted.P[r] = pickVec(f.has(i + 1) & (rank[i] == splatMask(r)), f.P[i], sorted.P[r]);
    const M unclear = ~clear & live;
    if (anyLane(unclear))
        for (std::size_t lane = 0; lane < Lanes; ++lane) {
            if (!unclear[lane]) continue;
            const int n = static_cast<int>(f.Count[lane]);
            double angle[4];
            int order[4];
            for (int i = 0; i < n; ++i) angle[i] = __builtin_atan2(y[i][lane], x[i][lane]), order[i] = i;
            for (int i = 1; i < n; ++i)
                for (int k = i; k > 0 && angle[k - 1] > angle[k]; --k) {
                    std::swap(angle[k - 1], angle[k]);
                    std::swap(order[k - 1], order[k]);
                }
            for (int r = 0; r < n; ++r) {
                const Vec& p = f.P[order[r]];
                setLane(sorted.P[r].x, lane, p.x[lane]), setLane(sorted.P[r].y, lane, p.y[lane]);
                setLane(sorted.P[r].z, lane, p.z[lane]);
            }
        }
    f = sorted;
}

// The triangle of the face opposite corner `opposite`, clipped to the side
// >= 0 of the crack (storeFace).
TRELMOX_INLINE LanePolygon<4> clippedFace(const Vec (&corner)[4], const V (&side)[4], int opposite) {
    LanePolygon<4> f;
    int c[3], n = 0;
    for (int i = 0; i < 4; ++i)
        if (i != opposite) c[n++] = i;
    for (int k = 0; k < 3; ++k) {
        const int p = c[k], q = c[(k + 1) % 3];
        const M keptP = side[p] >= splat(0), keptQ = side[q] >= splat(0);
        f.add(keptP, corner[p]);
        f.add(keptP ^ keptQ, crossing(corner[p], corner[q], side[p], side[q]));
    }
    return f;
}

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
    s.LineEndZ = crossing(corner[0], corner[1], side[0], side[1]).z;
    // Where the crack crosses the edges of the upper slope's triangle (1 2 3)
    // and the slope face's (0 2 3), each edge in storeFace's order.
    constexpr int Edges[2][3][2] = {{{1, 2}, {2, 3}, {3, 1}}, {{0, 2}, {2, 3}, {3, 0}}};
    for (int surface = 0; surface < 2; ++surface) {
        V lowest = splat(__builtin_inf());
        for (const auto& [p, q] : Edges[surface]) {
            const M change = (side[p] >= splat(0)) ^ (side[q] >= splat(0));
            const V z = crossing(corner[p], corner[q], side[p], side[q]).z;
            lowest = pick(change & (z < lowest), z, lowest);
        }
        (surface == 0 ? s.OpeningOnTop : s.OpeningOnFace) = lowest;
    }
    LanePolygon<4>& cut = s.CrackFace = LanePolygon<4>();
    for (int i = 0; i < 4; ++i) {
        cut.add(side[i] == splat(0), corner[i]);
        for (int j = i + 1; j < 4; ++j)
            cut.add(((side[i] > splat(0)) & (side[j] < splat(0))) | ((side[i] < splat(0)) & (side[j] > splat(0))),
                    crossing(corner[i], corner[j], side[i], side[j]));
    }
    sortAroundCentre(cut, s.CrackInward, out.Live);
    // Faces opposite corners 3, 2, 1, 0: plane 1, plane 2, slope face, upper slope.
    s.Area1 = polygonArea(clippedFace(corner, side, 3));
    s.Area2 = polygonArea(clippedFace(corner, side, 2));
    s.FaceArea = k.FacePressure != 0 ? polygonArea(clippedFace(corner, side, 1)) : splat(0);
    const LanePolygon<4> top = clippedFace(corner, side, 0);
    s.TopArea = k.TopPressure != 0 ? polygonArea(top) : splat(0);
    V volume = splat(0);
    const LanePolygon<4>& crackFace = cut;
    for (const LanePolygon<4>* f : {&top, &crackFace})
        for (int i = 1; i < 3; ++i) {
            const V v = absolute(dot(f->P[0], cross(f->P[i], f->P[i + 1]))) / splat(6);
            volume = pick(f->has(i + 2), volume + v, volume);
        }
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

// The integral of max(0, level - z) over the polygon (forces.cpp's depthIntegral).
V depthIntegral(const LanePolygon<4>& polygon, V level) {
    LanePolygon<5> below;
    for (int i = 0; i < 4; ++i) {
        const Vec& p = polygon.P[i];
        const Vec q = i == 3 ? polygon.P[0] : pickVec(polygon.has(i + 2), polygon.P[i + 1], polygon.P[0]);
        const V dp = level - p.z, dq = level - q.z;
        const M valid = polygon.has(i + 1), keptP = dp >= splat(0), keptQ = dq >= splat(0);
        below.add(valid & keptP, p);
        below.add(valid & (keptP ^ keptQ), crossing(p, q, dp, dq));
    }
    V integral = splat(0);
    const Vec& b0 = below.P[0];
    for (int i = 1; i < 4; ++i) {
        const Vec& b1 = below.P[i];
        const Vec& b2 = below.P[i + 1];
        const V area = splat(0.5) * norm(cross(sub(b1, b0), sub(b2, b0)));
        integral = pick(below.has(i + 2), integral + area * (level - (b0.z + b1.z + b2.z) / splat(3)), integral);
    }
    return integral;
}

} // namespace
} // namespace trelmox
