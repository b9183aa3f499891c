#pragma once
// Kc and the full factor Fs of a block of samples held in columns, many
// samples at once in the processor's vector lanes, and the draws of one
// input over a column.
//
// Every lane computes exactly what the scalar analyses compute for its
// sample (wedge.cpp, polyhedron.cpp, forces.cpp, vector_method.cpp), in the
// same order of operations, with two differences that make the results the
// same on every x86-64 processor and in every lane width:
// - the sines and cosines of sampled angles are degree_trig.h's (products
//   and sums only), their tangents, logarithms and exponentials SLEEF's
//   deterministic non-FMA functions (1 ulp), whose SSE2, AVX, AVX-512 and
//   scalar versions return the same bits; whole-degree angles keep the
//   exact tables of the deterministic analysis, so a block entered in whole
//   degrees gives its own deterministic factors;
// - a failure is a code per lane (the first one in the scalar order), not an
//   exception.
// The scalar versions (sample_trig.h, evaluate / evaluateFull in
// parameters.h, Sampler::value) are the twins of the lanes, bit for bit.
// This code is compiled without floating-point contraction, so that a
// multiply and an add never fuse into an FMA on one build and not another.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/probabilistic/parameters.h"

namespace trelmox {

// The outcome of one factor of one sample: a TWedgeContact value, or a
// failure with the message its scalar twin throws.
enum class SampleOutcome : std::uint8_t {
    NoBlock,
    BothPlanes,
    FirstPlaneOnly,
    SecondPlaneOnly,
    LiftOff,
    Unresolved,
    Overflow,
    DivisionByZero,
    InvalidOperation,
    NoDriving,
};
inline bool failedOutcome(SampleOutcome o) { return o >= SampleOutcome::Overflow; }
// The message of a failed outcome.
const char* outcomeMessage(SampleOutcome o);
// The outcome of the failure that the scalar computation threw, by its fault.
SampleOutcome outcomeOfFailure(const Error& failure);

// The trigonometry that a block of samples needs, one entry per angle or
// pair of angles; the entries whose inputs do not vary are worked out once.
enum class TrigTerm {
    Dip1,
    Dip2,
    DipTop,
    DipFace, // sin, cos of the dips (Kc and Fs)
    Dir1,
    Dir2,
    DirTop,
    DirFace, // sin, cos of the dip directions (Fs)
    Relative1,
    RelativeFace, // sin, cos of plane 1's and the face's dip direction less plane 2's (Kc)
    TanTop,       // tan of the slope top's dip (Kc; in Sin)
};
inline constexpr int TrigTermCount = 11;
// Whether Kc uses the term (the dips but the top's, the relative
// directions, the top's tangent) and whether Fs does (the dips and the dip
// directions): a term's overflow fails the factors that use it.
constexpr bool entersKc(TrigTerm term) {
    return term < TrigTerm::Dir1 ? term != TrigTerm::DipTop : term > TrigTerm::DirFace;
}
constexpr bool entersFs(TrigTerm term) { return term <= TrigTerm::DirFace; }

// The widest lane count of any kernel: blocks are padded to a multiple of it.
inline constexpr std::size_t MaxLanes = 8;

// What the lanes of a run share, read-only.
struct KernelConstants {
    double Base[ParameterCount]{}; // the inputs' values where they do not vary
    bool ComputedWater = false;    // u1 = u2 = (water * height) / 6
    double Overhang = 1;           // the overhang coefficient
    bool Varies[TrigTermCount]{};  // computed per lane; else Fixed
    double Fixed[TrigTermCount][2]{};
    // A fixed angle beyond the range of a double: every lane's Kc or Fs
    // fails with an overflow.
    bool FixedKcOverflows = false, FixedFsOverflows = false;
    // The exact tables of whole degrees 0..360: sin, cos pairs; tangents.
    const double* WholeSinCos = nullptr;
    const double* WholeTan = nullptr;
    // The full factor's loads; a tension crack's upward unit normal (its
    // attitude does not vary; its distance and water depth may).
    WaterMode Water = WaterMode::Block;
    bool Crack = false;
    double CrackNormal[3]{};
    bool SeismicAlongSliding = true;
    double SeismicDirection[3]{};
    double FacePressure = 0, TopPressure = 0;
    // The joints' strengths, by cutting plane: Mohr-Coulomb on the inputs c
    // and f without waviness (both: PlainStrengths), or Barton-Bandis with
    // its JRC, JCS (kPa), phi_r and waviness (degrees).
    bool PlainStrengths = true;
    bool BartonBandis[2]{};
    double Jrc[2]{}, Jcs[2]{}, ResidualFriction[2]{}, Waviness[2]{};
    // External forces and bolts: own magnitudes (their sum scales the varied
    // total), unit directions (x, y, z each), bolts active (1) or passive (0).
    // Plain pointers into KernelPlan's storage: the lanes use no library code.
    std::size_t ForceCount = 0, BoltCount = 0;
    const double* ForceShares = nullptr;
    const double* ForceDirections = nullptr;
    const double* BoltShares = nullptr;
    const double* BoltDirections = nullptr;
    const std::uint8_t* BoltActive = nullptr;
    double ForceShareSum = 0, BoltShareSum = 0;
    // Size limits (wedge_size.h) of a wedge without a crack, cut at full
    // height and scaled about the toe: which limits the loads give (their
    // values are the inputs FaceTrace1..BenchWidth), how persistence is
    // measured, the minimum sizes and the bench's catch width.
    bool Sized = false;
    bool Limits[SizeLimitKindCount]{};
    bool PersistenceAlong = true;
    bool Bench = false;
    bool HasMinVolume = false, HasMinWeight = false, HasMinHeight = false, HasCatchWidth = false;
    double MinVolume = 0, MinWeight = 0, MinHeight = 0, CatchWidth = 0;
};
// The constants with the storage they point into (not copyable: the
// copy's pointers would point into the original).
struct KernelPlan {
    KernelConstants Constants;
    std::vector<double> ForceShares, ForceDirections, BoltShares, BoltDirections;
    std::vector<std::uint8_t> BoltActive;
    KernelPlan() = default;
    KernelPlan(KernelPlan&&) = default; // the vectors keep their storage
    KernelPlan(const KernelPlan&) = delete;
    KernelPlan& operator=(const KernelPlan&) = delete;
};
// Fills `plan` for `base` with the inputs `varying` changing per sample.
void buildKernelPlan(const BlockInputs& base, const std::vector<Parameter>& varying, KernelPlan& plan);

// A block's columns: Input[p] holds `count` values of input p, or is null
// where the input keeps its base value. count is a multiple of the lanes.
struct KernelColumns {
    const double* Input[ParameterCount]{};
    std::size_t Count = 0;
};
// What a sized wedge is (SizeFlags' bits).
enum SizeFlag : std::uint8_t { TooSmallFlag = 1, BenchTooNarrowFlag = 2 };
struct KernelResults {
    double* Kc = nullptr;
    SampleOutcome* KcOutcome = nullptr;
    double* Fs = nullptr; // null: Kc alone
    SampleOutcome* FsOutcome = nullptr;
    // With size limits: the analysed wedge's volume, weight and SizeFlags,
    // zero where Fs cuts out no wedge or fails (null: not wanted).
    double* Volume = nullptr;
    double* Weight = nullptr;
    std::uint8_t* SizeFlags = nullptr;
};

// A distribution's quantile function as numbers, for a column of uniforms.
struct DrawConstants {
    int Kind = 0; // Distribution::Kind
    double Location = 0, Scale = 0, PLow = 0, PWidth = 1, Low = 0, High = 0;
    double Split = 0, Left = 0, Right = 0; // triangular: Sampler's split_, left_, right_
};

struct BlockKernel {
    const char* Name;
    std::size_t Lanes;
    void (*Evaluate)(const KernelConstants&, const KernelColumns&, const KernelResults&);
    // In place over `count` uniforms, count a multiple of Lanes.
    void (*Draw)(const DrawConstants&, double* values, std::size_t count);
    // counterUniform(key, first + i * stride) for i < count, a multiple of Lanes.
    void (*Uniforms)(std::uint64_t key, std::uint64_t first, std::uint64_t stride, double* values, std::size_t count);
};
// The kernels this processor runs, narrowest first (SSE2 always).
std::vector<const BlockKernel*> supportedKernels();
// The widest of them (or the one TRELMOX_LANES names), chosen once.
const BlockKernel& widestKernel();

} // namespace trelmox
