#include "analysis/joints/kinematic_pairs.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <mutex>
#include <numbers>
#include <numeric>
#include <optional>
#include <omp.h>
#include <string_view>
#include <tuple>
#include <utility>

#include "analysis/joints/sphere_cells.h"
#include "analysis/joints/zone_verdicts.h"
#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/team.h"
#include "analysis/vec3.h"

namespace trelmox {

namespace {

using namespace zones;

// A line's own reach: the rounding of its direction, in its trend alone.
const Reach Rounding{Angle(Margin), false};

// Pairs whose line is shorter than this are tested one by one: the
// parallel test of the checks lies among them.
constexpr double ExactBelow = 4 * ParallelPoles;
constexpr std::uint32_t NearParallel = 0xFFFFFFFF;

// Rows are handed out in a fixed number of runs, each summed on its own and
// the runs added in order, so that the weights' sums come out the same on
// any number of threads.
constexpr std::size_t MaxRuns = 16;

// Lines of a row binned at a time, and how far ahead their cells are
// fetched.
constexpr std::size_t Chunk = 512, Ahead = 8;

// ---- the lines' cells, in the vector lanes ----------------------------------

// The cells of the lines of one plane's pole `a` with the poles b (as
// KinematicChecks works them out, in their downward sense), NearParallel
// for the near-parallel pairs.
[[gnu::always_inline]] inline void lineCellsBody(const SphereCells& grid, double ax, double ay, double az,
                                                 const double* bx, const double* by, const double* bz,
                                                 std::size_t count, std::uint32_t* cells) {
    const SphereCells g = grid; // a copy no store of a cell can alias
#pragma omp simd
    for (std::size_t t = 0; t < count; ++t) {
        double lx = ay * bz[t] - az * by[t];
        double ly = az * bx[t] - ax * bz[t];
        double lz = ax * by[t] - ay * bx[t];
        const double squared = lx * lx + ly * ly + lz * lz;
        const bool up = lz > 0;
        lx = up ? -lx : lx;
        ly = up ? -ly : ly;
        lz = up ? -lz : lz;
        const bool exact = !(squared >= ExactBelow * ExactBelow);
        const std::uint32_t cell = g.cell(exact ? 0 : lx, exact ? 0 : ly, exact ? -1 : lz);
        cells[t] = exact ? NearParallel : cell;
    }
}

using CellKernel = void (*)(const SphereCells&, double, double, double, const double*, const double*, const double*,
                            std::size_t, std::uint32_t*);

void lineCellsBaseline(const SphereCells& grid, double ax, double ay, double az, const double* bx, const double* by,
                       const double* bz, std::size_t count, std::uint32_t* cells) {
    lineCellsBody(grid, ax, ay, az, bx, by, bz, count, cells);
}

__attribute__((target("avx2"))) void lineCellsAvx2(const SphereCells& grid, double ax, double ay, double az,
                                                   const double* bx, const double* by, const double* bz,
                                                   std::size_t count, std::uint32_t* cells) {
    lineCellsBody(grid, ax, ay, az, bx, by, bz, count, cells);
}

__attribute__((target("avx512f,avx512dq,prefer-vector-width=512"))) void
lineCellsAvx512(const SphereCells& grid, double ax, double ay, double az, const double* bx, const double* by,
                const double* bz, std::size_t count, std::uint32_t* cells) {
    lineCellsBody(grid, ax, ay, az, bx, by, bz, count, cells);
}

// The widest lanes the processor has, capped as the probabilistic kernel
// is (TRELMOX_LANES). Without contraction (this code is compiled with
// -ffp-contract=off) every width gives every line the same cell, so the
// weights are added in the same order and the results are the same bits.
CellKernel cellKernel() {
    const std::string_view name = widestKernel().Name;
    if (name == "AVX-512") return lineCellsAvx512;
    if (name == "AVX2") return lineCellsAvx2;
    return lineCellsBaseline;
}

// ---- counting -----------------------------------------------------------------------

struct Tally {
    std::uint64_t N = 0;
    double W = 0;
    void add(double w) {
        ++N;
        W += w;
    }
    void add(const Tally& t) {
        N += t.N;
        W += t.W;
    }
};

// What a run finds for one slope outside the cells' counts.
struct SlopeTally {
    Tally Wedge, Secondary, Direct, Oblique;
    std::vector<Tally> WedgeGroups, DirectGroups;
};

// The planes in the order of their poles' cells, so that the lines of one
// plane with the next ones move from cell to neighbouring cell.
struct SortedPlanes {
    std::vector<double> X, Y, Z, Weight;
    std::vector<TPlaneAttitude> Planes;
    std::vector<std::uint32_t> Set;
    std::vector<std::uint64_t> Slides; // bit k: slides alone on slope k
};

SortedPlanes sortedPlanes(const SphereCells& grid, const std::vector<Measurement>& planes,
                          const std::vector<std::size_t>& setOf, const std::vector<KinematicChecks>& checks) {
    const std::size_t n = planes.size();
    std::vector<TPoint3D> poles(n);
    // By patches of some degrees first: the poles of a patch are near one
    // another, whatever the order of the patches.
    const SphereCells patches(16);
    std::vector<std::uint64_t> keys(n);
    for (std::size_t i = 0; i < n; ++i) {
        poles[i] = planePole(planes[i].Plane);
        const TPoint3D p = poles[i].z < 0 ? poles[i] : -1 * poles[i];
        keys[i] = std::uint64_t(patches.cell(p.x, p.y, p.z)) << 32 | grid.cell(p.x, p.y, p.z);
    }
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    SortedPlanes s;
    for (const std::size_t i : order) {
        s.X.push_back(poles[i].x), s.Y.push_back(poles[i].y), s.Z.push_back(poles[i].z);
        s.Weight.push_back(planes[i].Weight);
        s.Planes.push_back(planes[i].Plane);
        s.Set.push_back(static_cast<std::uint32_t>(setOf[i]));
        std::uint64_t slides = 0;
        for (std::size_t k = 0; k < checks.size(); ++k)
            if (checks[k].slidesAlone(planes[i].Plane)) slides |= std::uint64_t(1) << k;
        s.Slides.push_back(slides);
    }
    return s;
}

// The grid: some fifty lines a cell on average, so that a few pairs are
// not held up by classifying many cells, and no finer than a histogram of
// a few megabytes allows for the groups of pairs: 256 squares along a
// face's edge (about 0.35 degrees) at most.
int gridSide(std::size_t planes, std::size_t groups) {
    const double pairs = 0.5 * double(planes) * double(planes);
    const double side = std::min(std::sqrt(pairs / 150), std::sqrt(double(1 << 19) / (3.0 * double(groups))));
    return std::clamp(static_cast<int>(side) / 2 * 2, 16, 256);
}

// What every pair reads of its line's cell: the slopes it leaves open,
// those it puts wholly in the secondary zone, and where the verdicts of its
// squares begin.
struct HotVerdicts {
    std::uint64_t Open, Secondary, SquaresAt;
};

class PairCounter {
public:
    PairCounter(const std::vector<Measurement>& planes, const std::vector<std::size_t>& setOf, std::size_t setCount,
                const std::vector<KinematicChecks>& checks)
        : checks_(checks), labels_(setCount + 1), groups_(setCount ? labels_ * (labels_ + 1) / 2 : 1),
          grid_(gridSide(planes.size(), groups_)), planes_(sortedPlanes(grid_, planes, setOf, checks)),
          kernel_(cellKernel()) {}

    std::size_t cells() const { return grid_.size(); }
    std::size_t groups() const { return groups_; }

    // Each cell's verdicts, and those of the squares of the cells that
    // leave a zone open, for the slopes they leave it open for.
    void classify(unsigned threads) {
        const std::size_t slopes = checks_.size();
        limits_.clear();
        for (const KinematicChecks& c : checks_) limits_.emplace_back(c.slope());
        verdicts_.assign(cells(), CellVerdicts{});
        std::vector<double> radius(cells());
#pragma omp parallel for schedule(static) num_threads(threads)
        for (std::int64_t c = 0; c < static_cast<std::int64_t>(cells()); ++c) {
            const auto cell = static_cast<std::size_t>(c);
            const SphereCells::Geometry g = grid_.geometry(static_cast<std::uint32_t>(cell));
            radius[cell] = g.Radius;
            const Reach reach{Angle(g.Radius * (1 + 1e-9) + Margin), true};
            for (std::size_t k = 0; k < slopes; ++k) verdicts_[cell].set(k, verdict(g.Centre, limits_[k], reach));
        }
        hot_.resize(cells());
        for (std::size_t cell = 0; cell < cells(); ++cell)
            hot_[cell] = {verdicts_[cell].open(), verdicts_[cell].Secondary & ~verdicts_[cell].open(), 0};
        // Sixteen verdicts of four bits for each open slope of a cell.
        std::uint64_t at = 0;
        for (std::size_t cell = 0; cell < cells(); ++cell) {
            CellVerdicts& v = verdicts_[cell];
            v.SquaresAt = hot_[cell].SquaresAt = at;
            at += static_cast<std::uint64_t>(std::popcount(v.open()));
        }
        squares_.assign(at, 0);
        // A square's extent is its cell's over Sub, but for the change of
        // the face's scale across the cell.
        const double squareShare = (1 + 16.0 / grid_.side()) / SphereCells::Sub;
#pragma omp parallel for schedule(dynamic, 256) num_threads(threads)
        for (std::int64_t c = 0; c < static_cast<std::int64_t>(cells()); ++c) {
            const auto cell = static_cast<std::size_t>(c);
            const CellVerdicts& v = verdicts_[cell];
            if (!v.open()) continue;
            const Reach reach{Angle(radius[cell] * squareShare + Margin), true};
            for (int square = 0; square < SphereCells::Sub * SphereCells::Sub; ++square) {
                const TPoint3D centre = grid_.squareCentre(static_cast<std::uint32_t>(cell), square);
                std::uint64_t rank = v.SquaresAt;
                for (std::uint64_t open = v.open(); open; open &= open - 1, ++rank) {
                    const auto k = static_cast<std::size_t>(std::countr_zero(open));
                    squares_[rank] |= std::uint64_t(refined(v.get(k), verdict(centre, limits_[k], reach)))
                                      << (4 * square);
                }
            }
        }
    }

    // What a run adds up beyond the cells' counts.
    struct Run {
        std::vector<SlopeTally> Slopes;
        std::vector<Tally> Totals; // by group
    };

    Run emptyRun() const {
        Run run;
        run.Slopes.resize(checks_.size());
        for (SlopeTally& s : run.Slopes)
            if (groups_ > 1) s.WedgeGroups.resize(groups_), s.DirectGroups.resize(groups_);
        run.Totals.resize(groups_);
        return run;
    }

    std::size_t planeCount() const { return planes_.Planes.size(); }

    // The pairs of plane i with the planes after it.
    // The pairs of plane i with the planes after it: their lines' count by
    // cell and group (cell * groups() + group) into `histogram`.
    void countRow(std::size_t i, Run& run, std::vector<Tally>& histogram,
                  std::vector<std::uint32_t>& cellsOfChunk) const {
        const SortedPlanes& p = planes_;
        const std::size_t n = planeCount();
        cellsOfChunk.resize(Chunk);
        for (std::size_t from = i + 1; from < n; from += Chunk) {
            const std::size_t count = std::min(Chunk, n - from);
            kernel_(grid_, p.X[i], p.Y[i], p.Z[i], &p.X[from], &p.Y[from], &p.Z[from], count, cellsOfChunk.data());
            for (std::size_t t = 0; t < count; ++t) {
                // The cells a few lines ahead are fetched while this one is counted.
                if (t + Ahead < count && cellsOfChunk[t + Ahead] != NearParallel) {
                    const std::uint32_t ahead = cellsOfChunk[t + Ahead] >> SphereCells::SubBits;
                    __builtin_prefetch(&hot_[ahead]);
                    __builtin_prefetch(&histogram[std::size_t(ahead) * groups_], 1);
                }
                const std::size_t j = from + t;
                const double w = p.Weight[i] * p.Weight[j];
                const std::size_t group = groups_ > 1 ? pairGroup(p.Set[i], p.Set[j], labels_) : 0;
                run.Totals[group].add(w);
                const std::uint32_t packed = cellsOfChunk[t];
                if (packed == NearParallel) {
                    exact(i, j, w, group, nullptr, 0, ~std::uint64_t(0) >> (64 - checks_.size()), run);
                    continue;
                }
                const std::uint32_t cell = packed >> SphereCells::SubBits;
                histogram[cell * groups_ + group].add(w);
                const HotVerdicts& hot = hot_[cell];
                if (hot.Open) exact(i, j, w, group, &hot, packed & ((1u << SphereCells::SubBits) - 1), hot.Open, run);
                for (std::uint64_t s = hot.Secondary & (p.Slides[i] | p.Slides[j]); s; s &= s - 1)
                    run.Slopes[static_cast<std::size_t>(std::countr_zero(s))].Secondary.add(w);
            }
        }
    }

    // The cells' counts and the runs' tallies of every slope, the runs
    // added in order.
    std::vector<PairCounts> totals(const std::vector<Tally>& histogram, const std::vector<Run>& runs,
                                   unsigned threads) const;

private:
    // The pair tested against the slopes of `slopes` (bits), as
    // KinematicChecks tests it pair by pair: what its cell's square decides,
    // then by products where the line is clear of every limit, by
    // KinematicChecks itself within the margin. `cell`: the verdicts of the
    // line's cell, none for a line tested against every slope.
    void exact(std::size_t i, std::size_t j, double w, std::size_t group, const HotVerdicts* cell, std::uint32_t square,
               std::uint64_t slopes, Run& run) const {
        const SortedPlanes& p = planes_;
        const std::uint64_t slides = p.Slides[i] | p.Slides[j];
        // The line, worked out only when a square leaves a zone open.
        std::optional<TPoint3D> line, down;
        const auto lineOf = [&] {
            line = cross({p.X[i], p.Y[i], p.Z[i]}, {p.X[j], p.Y[j], p.Z[j]});
            const double length = norm(*line);
            if (length >= ParallelPoles) down = (line->z > 0 ? -1 / length : 1 / length) * *line;
        };
        if (!cell) {
            lineOf();
            if (!down) return; // parallel planes meet in no line
        }
        std::uint64_t rank = cell ? cell->SquaresAt : 0;
        for (; slopes; slopes &= slopes - 1, ++rank) {
            const auto k = static_cast<std::size_t>(std::countr_zero(slopes));
            std::uint8_t v = cell ? static_cast<std::uint8_t>(squares_[rank] >> (4 * square) & 15) : Open;
            if ((v & 3) == Undecided || (v >> 2) == Undecided) {
                if (!line) lineOf();
                v = refined(v, verdict(*down, limits_[k], Rounding));
                if ((v & 3) == Undecided) {
                    const WedgeZone zone = checks_[k].wedgeZone(*line);
                    const std::uint8_t wedge = zone == WedgeZone::Primary     ? WedgePrimary
                                               : zone == WedgeZone::Secondary ? WedgeSecondary
                                                                              : 0;
                    v = refined(v, static_cast<std::uint8_t>(wedge | Undecided << 2));
                }
                if ((v >> 2) == Undecided) {
                    const TopplingZone zone = checks_[k].directToppling(*line);
                    const std::uint8_t topple = zone == TopplingZone::Direct    ? ToppleDirect
                                                : zone == TopplingZone::Oblique ? ToppleOblique
                                                                                : 0;
                    v = refined(v, static_cast<std::uint8_t>(Undecided | topple << 2));
                }
            }
            SlopeTally& tally = run.Slopes[k];
            const std::uint8_t wedge = v & 3, topple = static_cast<std::uint8_t>(v >> 2);
            if (wedge == WedgePrimary) {
                tally.Wedge.add(w);
                if (groups_ > 1) tally.WedgeGroups[group].add(w);
            } else if (wedge == WedgeSecondary && (slides >> k & 1)) {
                tally.Secondary.add(w);
            }
            if (topple == ToppleDirect) {
                tally.Direct.add(w);
                if (groups_ > 1) tally.DirectGroups[group].add(w);
            } else if (topple == ToppleOblique) {
                tally.Oblique.add(w);
            }
        }
    }

    const std::vector<KinematicChecks>& checks_;
    std::size_t labels_, groups_;
    SphereCells grid_;
    SortedPlanes planes_;
    CellKernel kernel_;
    std::vector<SlopeLimits> limits_;
    std::vector<CellVerdicts> verdicts_;
    std::vector<HotVerdicts> hot_;
    std::vector<std::uint64_t> squares_; // sixteen four-bit verdicts an open slope of an open cell
};

void addCount(KinematicCount& count, const Tally& critical) {
    count.Critical += critical.N;
    count.CriticalWeight += critical.W;
}

std::vector<PairCounts> PairCounter::totals(const std::vector<Tally>& histogram, const std::vector<Run>& runs,
                                            unsigned threads) const {
    const std::size_t slopes = checks_.size();
    Tally total;
    std::vector<Tally> groupTotals(groups_);
    for (const Run& run : runs)
        for (std::size_t g = 0; g < groups_; ++g) groupTotals[g].add(run.Totals[g]);
    for (const Tally& t : groupTotals) total.add(t);
    std::vector<PairCounts> counts(slopes);
#pragma omp parallel for schedule(static) num_threads(threads)
    for (std::int64_t slope = 0; slope < static_cast<std::int64_t>(slopes); ++slope) {
        const auto k = static_cast<std::size_t>(slope);
        PairCounts& pc = counts[k];
        for (KinematicCount* c : {&pc.Wedge, &pc.Secondary, &pc.Direct, &pc.Oblique})
            c->Total = total.N, c->TotalWeight = total.W;
        if (groups_ > 1) {
            pc.WedgeGroups.resize(groups_), pc.DirectGroups.resize(groups_);
            for (std::size_t g = 0; g < groups_; ++g)
                for (KinematicCount* c : {&pc.WedgeGroups[g], &pc.DirectGroups[g]})
                    c->Total = groupTotals[g].N, c->TotalWeight = groupTotals[g].W;
        }
        // The decided cells' lines, cell by cell.
        for (std::size_t cell = 0; cell < cells(); ++cell) {
            const CellVerdicts& v = verdicts_[cell];
            if (v.open() >> k & 1) continue;
            const bool primary = v.Primary >> k & 1, direct = v.Direct >> k & 1, oblique = v.Oblique >> k & 1;
            if (!primary && !direct && !oblique) continue;
            for (std::size_t g = 0; g < groups_; ++g) {
                const Tally& t = histogram[cell * groups_ + g];
                if (!t.N) continue;
                if (primary) addCount(pc.Wedge, t);
                if (direct) addCount(pc.Direct, t);
                if (oblique) addCount(pc.Oblique, t);
                if (groups_ > 1 && primary) addCount(pc.WedgeGroups[g], t);
                if (groups_ > 1 && direct) addCount(pc.DirectGroups[g], t);
            }
        }
        // The lines tested one by one, and the secondary zone, run by run.
        for (const Run& run : runs) {
            const SlopeTally& t = run.Slopes[k];
            addCount(pc.Wedge, t.Wedge);
            addCount(pc.Secondary, t.Secondary);
            addCount(pc.Direct, t.Direct);
            addCount(pc.Oblique, t.Oblique);
            for (std::size_t g = 0; g < t.WedgeGroups.size(); ++g) {
                addCount(pc.WedgeGroups[g], t.WedgeGroups[g]);
                addCount(pc.DirectGroups[g], t.DirectGroups[g]);
            }
        }
    }
    return counts;
}

} // namespace

std::optional<std::vector<PairCounts>> countPairs(const std::vector<Measurement>& planes,
                                                  const std::vector<std::size_t>& setOf, std::size_t setCount,
                                                  const std::vector<KinematicChecks>& checks, unsigned threads,
                                                  const std::function<bool(std::uint64_t)>& progress) {
    PairCounter counter(planes, setOf, setCount, checks);
    const std::size_t n = counter.planeCount();
    const std::uint64_t allPairs = std::uint64_t(n) * (n > 0 ? n - 1 : 0) / 2;
    // Each pair binned once, then tested against the sectors of the batch.
    const unsigned threadCount = teamSize(threads, allPairs + std::uint64_t(n) * checks.size());
    counter.classify(threadCount);
    const std::size_t runCount = std::min(MaxRuns, std::max<std::size_t>(n, 1));
    std::vector<PairCounter::Run> runs(runCount);
    std::vector<Tally> histogram(counter.cells() * counter.groups());
    // Whichever thread passes the next 1/200 of the pairs reports, unless
    // another is reporting; every thread stops at its next row once the
    // user cancels.
    std::atomic<std::uint64_t> checked{0};
    std::atomic<bool> cancelled{false};
    const std::uint64_t reportStep = std::max<std::uint64_t>(allPairs / 200, 1);
    std::mutex reporting;
    std::uint64_t reported = 0; // under `reporting`
#pragma omp parallel num_threads(threadCount)
    {
        std::vector<Tally> local(histogram.size());
        std::vector<std::uint32_t> cellsOfChunk;
#pragma omp for ordered schedule(static, 1)
        for (std::int64_t r = 0; r < static_cast<std::int64_t>(runCount); ++r) {
            const auto run = static_cast<std::size_t>(r);
            runs[run] = counter.emptyRun();
            std::fill(local.begin(), local.end(), Tally{});
            // Interleaved rows even out the triangle's shrinking rows.
            for (std::size_t i = run; i < n && !cancelled.load(std::memory_order_relaxed); i += runCount) {
                counter.countRow(i, runs[run], local, cellsOfChunk);
                const std::uint64_t done = checked.fetch_add(n - 1 - i, std::memory_order_relaxed) + (n - 1 - i);
                if (progress && reporting.try_lock()) {
                    std::lock_guard<std::mutex> held(reporting, std::adopt_lock);
                    if (done >= reported + reportStep) {
                        reported = done;
                        if (!progress(done)) cancelled = true;
                    }
                }
            }
            // The runs' cell counts added in the runs' order.
#pragma omp ordered
            for (std::size_t e = 0; e < histogram.size(); ++e) histogram[e].add(local[e]);
        }
    }
    if (cancelled) return std::nullopt;
    return counter.totals(histogram, runs, threadCount);
}

} // namespace trelmox
