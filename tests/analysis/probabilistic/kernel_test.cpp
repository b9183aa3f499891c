#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sampling.h"
#include "tests/support/example_block.h"

using namespace trelmox;
using namespace trelmox::testing;

namespace {

constexpr double Huge = 1e308; // radians beyond the range of a double

// Bit patterns, so that -0 and 0 or two NaNs compare as the bits they are.
std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

struct Twin {
    double Kc = 0, Fs = 0;
    SampleOutcome KcOutcome{}, FsOutcome{};
    int CrackPoints = 0; // the points of the crack's face
    bool Drains = false; // the crack drains on the face, the joints keep their pressures
};

// The scalar analyses of one sample, failures as outcomes.
Twin twinOf(const BlockInputs& base, const std::vector<Parameter>& inputs,
            const std::vector<std::vector<double>>& columns, std::size_t j) {
    BlockInputs sample = base;
    for (std::size_t k = 0; k < inputs.size(); ++k) parameterField(sample, inputs[k]) = columns[k][j];
    Twin t;
    try {
        const SafetyResult r = evaluate(sample);
        t.Kc = r.SafetyFactor, t.KcOutcome = static_cast<SampleOutcome>(r.Contact);
    } catch (const Error& e) {
        t.KcOutcome = outcomeOfFailure(e);
    }
    try {
        const FullAnalysis full = evaluateFull(sample);
        t.Fs = full.Safety.Factor, t.FsOutcome = static_cast<SampleOutcome>(full.Safety.Contact);
        if (!full.Refusal) t.CrackPoints = full.Shape.Faces[int(WedgeSurface::Crack)].Count;
        t.Drains = full.Forces.CrackDrains;
    } catch (const Error& e) {
        t.FsOutcome = outcomeOfFailure(e);
    }
    return t;
}

// Values of one input for `count` samples: a spread around the block's
// value, with the awkward ones the lanes must treat as the scalar code does
// (whole degrees, -0, a value past the range of the radians).
std::vector<double> spreadValues(double around, double spread, std::size_t count, bool angle, std::uint64_t key) {
    std::vector<double> v(count);
    for (std::size_t j = 0; j < count; ++j) v[j] = around + spread * (2 * counterUniform(key, j) - 1);
    if (angle) {
        v[3] = std::round(v[3]);
        v[5] = -0.0;
        v[9] = Huge;
        v[12] = 0;
        v[14] = around + 1e13; // beyond the exact reduction in degrees
        v[15] = -v[15];
    }
    return v;
}

struct KernelCase {
    const char* what;
    TWedgeParams params;
    WedgeLoads loads;
    std::vector<std::pair<Parameter, double>> varied; // input and spread
};

std::vector<KernelCase> kernelCases() {
    WedgeLoads loaded;
    loaded.Water = WaterMode::Saturated;
    loaded.SeismicCoefficient = 0.15;
    loaded.Forces = {{600, {160, 10}}, {200, {100, 0}}};
    // Active bolts only: a block with passive bolts leaves its full factor
    // to the scalar analysis, which decides which of them carry.
    loaded.Bolts = {{1500, {340, 20}, BoltMode::Active}, {500, {330, 10}, BoltMode::Active}};
    loaded.FacePressure = 20;
    loaded.TopPressure = 15;
    WedgeLoads directed;
    directed.Water = WaterMode::None;
    directed.SeismicCoefficient = 0.2;
    directed.SeismicDirection = LineDirection{200, 5};
    // Cracks across the line of intersection and askew to it (so that the
    // crest corners fall on either side), in water and dry, with the
    // pressures on the clipped faces.
    WedgeLoads cracked = loaded;
    cracked.Crack = TensionCrack{{75, 180}, 6, 5};
    WedgeLoads askew;
    askew.Crack = TensionCrack{{60, 110}, 3, 0};
    askew.Water = WaterMode::Block;
    // Saturated, with a crack that daylights in the face and drains there
    // in some lanes, leaving the joints the pressures of the wedge without it.
    WedgeLoads draining = askew;
    draining.Water = WaterMode::Saturated;
    draining.Crack->WaterDepth = 50;
    // Barton-Bandis: a JCS that the larger stresses pass (the roughness
    // term cut to 0), planes pressed so lightly that the angle reaches its
    // cap, waviness; beside Mohr-Coulomb on the other plane, with loads
    // and a crack.
    JointStrength rough;
    rough.Model = StrengthModel::BartonBandis;
    rough.Jrc = 12, rough.Jcs = 200, rough.ResidualFriction = 30, rough.Waviness = 5;
    JointStrength smooth = rough;
    smooth.Jrc = 20, smooth.Jcs = 1e5, smooth.ResidualFriction = 35, smooth.Waviness = 0;
    WedgeLoads barton;
    barton.Strength = {rough, smooth};
    WedgeLoads bartonCracked = cracked;
    bartonCracked.Strength[0] = rough;
    TWedgeParams overhanging = exampleParams();
    overhanging.OverhangCoefficient = "-1";
    // Strengths of -0: a resistance of -0, whose sign the factor keeps.
    TWedgeParams bare = exampleParams();
    bare.Cohesion1 = bare.Cohesion2 = bare.Friction1 = bare.Friction2 = "-0";
    // Wedges scaled to their limits: every kind of limit, both measures of
    // persistence, water from the scaled height, a bench behind the crest.
    WedgeLoads traced;
    traced.Size.FaceTrace = {30, 25}, traced.Size.TopTrace = {35, 30}, traced.Size.Persistence = {40, 45};
    traced.Size.SlopeLength = 40;
    WedgeLoads extents;
    extents.Size.Persistence = {35, 45}, extents.Size.Measure = PersistenceMeasure::LargestExtent;
    extents.Water = WaterMode::Saturated;
    WedgeLoads benched;
    benched.Size.FaceTrace[1] = 30, benched.Size.Bench = BenchLimits{30, 18, 5};
    using P = Parameter;
    const std::vector<std::pair<Parameter, double>> angles = {{P::Dip1, 30},     {P::DipDir1, 120},  {P::Dip2, 30},
                                                              {P::DipDir2, 120}, {P::DipTop, 20},    {P::DipDirTop, 90},
                                                              {P::DipFace, 25},  {P::DipDirFace, 90}};
    std::vector<std::pair<Parameter, double>> everything = angles;
    everything.insert(everything.end(), {{P::Cohesion1, 20},
                                         {P::Friction1, 0.3},
                                         {P::Cohesion2, 40},
                                         {P::Friction2, 0.5},
                                         {P::RockUnitWeight, 5},
                                         {P::SlopeHeight, 30}});
    return {
        {"angles, computed water", exampleParams(), {}, angles},
        {"everything, entered water",
         enteredParams("100", "200"),
         {},
         [&] {
             auto v = everything;
             v.insert(v.end(), {{P::WaterPressure1, 100}, {P::WaterPressure2, 200}});
             return v;
         }()},
        {"one plane only, strengths",
         enteredParams("0", "300"),
         {},
         {{P::Cohesion1, 24}, {P::Friction2, 0.5}, {P::WaterPressure2, 300}, {P::DipDir1, 40}}},
        {"loads, forces and bolts",
         exampleParams(),
         loaded,
         {{P::Dip1, 10},
          {P::DipDir2, 30},
          {P::Seismic, 0.15},
          {P::ForceMagnitude, 800},
          {P::BoltForce, 2000},
          {P::WaterUnitWeight, 9}}},
        {"seismic along a given direction", exampleParams(), directed, {{P::DipFace, 20}, {P::Seismic, 0.2}}},
        {"overhanging face", overhanging, {}, angles},
        {"sized by traces, persistence along the line and length", exampleParams(), traced,
         [&] {
             auto v = angles;
             v.insert(v.end(), {{P::FaceTrace1, 15}, {P::Persistence2, 20}, {P::SlopeHeight, 30}});
             return v;
         }()},
        {"sized by persistence as largest extent", exampleParams(), extents, angles},
        {"sized by a bench", exampleParams(), benched,
         [&] {
             auto v = angles;
             v.insert(v.end(), {{P::BenchWidth, 15}, {P::BenchHeight, 10}});
             return v;
         }()},
        {"strengths of -0", bare, {}, angles},
        {"computed water past the range", exampleParams(), {}, {{P::WaterUnitWeight, Huge}, {P::SlopeHeight, 30}}},
        {"friction past the range", exampleParams(), {}, {{P::Friction1, 1e308}, {P::Friction2, 1e308}}},
        {"saturated with a crack",
         exampleParams(),
         cracked,
         {{P::Dip1, 15},
          {P::DipDir1, 40},
          {P::DipFace, 15},
          {P::DipDirTop, 40},
          {P::CrackDistance, 10},
          {P::CrackWater, 12},
          {P::SlopeHeight, 20}}},
        {"Barton-Bandis on both planes", exampleParams(), barton,
         [&] {
             auto v = angles;
             v.insert(v.end(), {{P::RockUnitWeight, 5}, {P::SlopeHeight, 39}});
             return v;
         }()},
        {"Barton-Bandis, one plane only",
         enteredParams("0", "300"),
         barton,
         {{P::Cohesion1, 24}, {P::WaterPressure2, 300}, {P::DipDir1, 40}, {P::Dip2, 20}}},
        {"Barton-Bandis and Mohr-Coulomb, crack",
         exampleParams(),
         bartonCracked,
         {{P::Dip1, 15},
          {P::DipDir1, 40},
          {P::CrackDistance, 10},
          {P::CrackWater, 12},
          {P::Friction2, 0.4},
          {P::BoltForce, 2000}}},
        {"saturated, the crack draining on the face",
         exampleParams(),
         draining,
         {{P::DipFace, 15}, {P::DipDirTop, 40}, {P::CrackDistance, 15}, {P::CrackWater, 50}, {P::Friction1, 0.3}}},
        {"crack askew, entered water",
         enteredParams("30", "60"),
         askew,
         {{P::Dip2, 15}, {P::DipDir2, 50}, {P::DipTop, 15}, {P::CrackDistance, 15}, {P::Cohesion1, 20}}},
    };
}

struct CaseColumns {
    BlockInputs Base;
    std::vector<Parameter> Inputs;
    std::vector<std::vector<double>> Values;
};

CaseColumns caseColumns(const KernelCase& c, std::size_t count) {
    CaseColumns cc{blockInputs(exampleAttitudes(), parameterNumbers(c.params), c.loads), {}, {}};
    for (const auto& [p, spread] : c.varied) {
        cc.Inputs.push_back(p);
        const bool angle = planeOf(p).has_value();
        double around = parameterValue(cc.Base, p);
        if (!angle) around = std::max(around, spread); // keep the strengths mostly positive
        cc.Values.push_back(spreadValues(around, spread, count, angle, 7 + cc.Inputs.size()));
    }
    // One sample with parallel cutting planes.
    auto column = [&](Parameter p) -> double* {
        for (std::size_t k = 0; k < cc.Inputs.size(); ++k)
            if (cc.Inputs[k] == p) return cc.Values[k].data();
        return nullptr;
    };
    // In the second half, lanes of the block's own values (angles a quarter
    // degree off the whole), each with one input made awkward where the
    // wedge still forms: an angle moved by whole turns beyond the exact
    // reduction's range (one angle of a difference awkward where the other
    // is not), any other input so large that the products with it
    // overflow. Each alone in its block of lanes, so that no other lane's
    // failure has the block worked out again exactly.
    for (std::size_t k = 0; k < cc.Inputs.size(); ++k)
        for (const double sign : {1.0, -1.0}) {
            const std::size_t lane = count / 2 + MaxLanes * (2 * k + (sign > 0 ? 0 : 1));
            for (std::size_t i = 0; i < cc.Inputs.size(); ++i)
                cc.Values[i][lane] = parameterValue(cc.Base, cc.Inputs[i]) + (planeOf(cc.Inputs[i]) ? 0.25 : 0);
            cc.Values[k][lane] += sign * (planeOf(cc.Inputs[k]) ? 360 * 0x1p32 : 1e308);
        }
    if (double* dir1 = column(Parameter::DipDir1)) {
        const double* dir2 = column(Parameter::DipDir2);
        dir1[20] = dir2 ? dir2[20] : parameterValue(cc.Base, Parameter::DipDir2);
    }
    return cc;
}

} // namespace

// Every lane width gives the scalar twins' bits, failures included, on
// values that reach every contact case, every refusal of the real wedge and
// every failure the scalar code reports.
TEST(Kernel, EveryLaneWidthGivesTheScalarTwinsBits) {
    constexpr std::size_t count = 8 * MaxLanes * 8; // the second half for caseColumns's awkward lanes
    std::array<bool, 10> reached{};
    std::array<bool, 5> crackPoints{};
    bool drains = false;
    for (const KernelCase& c : kernelCases()) {
        SCOPED_TRACE(c.what);
        const CaseColumns cc = caseColumns(c, count);
        KernelColumns columns;
        columns.Count = count;
        for (std::size_t k = 0; k < cc.Inputs.size(); ++k)
            columns.Input[static_cast<int>(cc.Inputs[k])] = cc.Values[k].data();
        KernelPlan plan;
        buildKernelPlan(cc.Base, cc.Inputs, plan);
        std::vector<Twin> twins;
        for (std::size_t j = 0; j < count; ++j) {
            twins.push_back(twinOf(cc.Base, cc.Inputs, cc.Values, j));
            reached[static_cast<int>(twins[j].KcOutcome)] = reached[static_cast<int>(twins[j].FsOutcome)] = true;
            crackPoints[twins[j].CrackPoints] = true;
            drains |= twins[j].Drains;
        }
        for (const BlockKernel* kernel : supportedKernels()) {
            SCOPED_TRACE(kernel->Name);
            std::vector<double> kc(count), fs(count);
            std::vector<SampleOutcome> kcOutcome(count), fsOutcome(count);
            kernel->Evaluate(plan.Constants, columns, {kc.data(), kcOutcome.data(), fs.data(), fsOutcome.data()});
            for (std::size_t j = 0; j < count; ++j) {
                ASSERT_EQ(kcOutcome[j], twins[j].KcOutcome) << "sample " << j;
                ASSERT_EQ(fsOutcome[j], twins[j].FsOutcome) << "sample " << j;
                if (!failedOutcome(kcOutcome[j])) {
                    ASSERT_EQ(bits(kc[j]), bits(twins[j].Kc)) << "sample " << j;
                }
                if (!failedOutcome(fsOutcome[j])) {
                    ASSERT_EQ(bits(fs[j]), bits(twins[j].Fs)) << "sample " << j;
                }
            }
        }
    }
    // The table must keep reaching the outcomes whose handling it checks.
    for (SampleOutcome o : {SampleOutcome::NoBlock, SampleOutcome::BothPlanes, SampleOutcome::FirstPlaneOnly,
                            SampleOutcome::SecondPlaneOnly, SampleOutcome::LiftOff, SampleOutcome::Overflow,
                            SampleOutcome::DivisionByZero})
        EXPECT_TRUE(reached[static_cast<int>(o)]) << static_cast<int>(o);
    EXPECT_TRUE(crackPoints[3] && crackPoints[4]) << "a crack cutting three and four edges";
    EXPECT_TRUE(drains) << "a crack draining on the face";
}

// The counter-based uniforms of every lane width are counterUniform's.
TEST(Kernel, UniformsInLanesAreTheScalarOnes) {
    for (const BlockKernel* kernel : supportedKernels()) {
        SCOPED_TRACE(kernel->Name);
        for (std::uint64_t key : {std::uint64_t{0}, std::uint64_t{12345}, ~std::uint64_t{0}}) {
            std::vector<double> lanes(64);
            kernel->Uniforms(key, 7, ParameterCount, lanes.data(), lanes.size());
            for (std::size_t i = 0; i < lanes.size(); ++i)
                ASSERT_EQ(bits(lanes[i]), bits(counterUniform(key, 7 + i * ParameterCount))) << i;
        }
    }
}

// The draws of every distribution in every lane width, tails included, are
// Sampler::value's bits.
TEST(Kernel, DrawsInLanesAreTheScalarDraws) {
    const struct {
        Parameter input;
        Distribution distribution;
    } cases[] = {
        {Parameter::Dip1, normalDistribution(20)}, // truncated at 0 and 90
        {Parameter::Cohesion1, lognormalDistribution(30)},
        {Parameter::Friction2, uniformDistribution(0.2, 0.9)},
        {Parameter::DipDir2, normalDistribution(400)},
        {Parameter::FaceTrace1, exponentialDistribution()},
        {Parameter::Persistence1, truncated(lognormalDistribution(15), 2, 60)},
        {Parameter::Cohesion2, truncated(exponentialDistribution(), 5, {})},
        {Parameter::Cohesion1, triangularDistribution(10, 50)},
        {Parameter::Dip2, truncated(triangularDistribution(40, 80), 50, 75)},
        {Parameter::SlopeHeight, truncated(normalDistribution(8), 30, 45)},
        {Parameter::SlopeHeight, truncated(normalDistribution(5), 31, 49)},   // central draws clamped at 1.8 sd
        {Parameter::SlopeHeight, truncated(normalDistribution(1), 42.5, {})}, // every draw in a tail
    };
    WedgeLoads sized;
    sized.Size.FaceTrace[0] = 20, sized.Size.Persistence[0] = 15;
    const BlockInputs base = blockInputs(exampleAttitudes(), parameterNumbers(exampleParams()), sized);
    constexpr std::size_t count = 1024;
    std::vector<double> uniforms(count);
    for (std::size_t j = 0; j < count; ++j) uniforms[j] = counterUniform(3, j);
    uniforms[0] = 0x1p-53, uniforms[1] = 1 - 0x1p-53, uniforms[2] = 0.02425, uniforms[3] = 1 - 0.02425;
    for (const auto& c : cases) {
        const Sampler sampler(c.input, parameterValue(base, c.input), c.distribution);
        for (const BlockKernel* kernel : supportedKernels()) {
            SCOPED_TRACE(std::string(parameterName(c.input)) + " " + kernel->Name);
            std::vector<double> lanes = uniforms;
            kernel->Draw(sampler.drawConstants(), lanes.data(), count);
            for (std::size_t j = 0; j < count; ++j)
                ASSERT_EQ(bits(lanes[j]), bits(sampler.value(uniforms[j]))) << "draw " << j;
        }
    }
}

namespace {

ProbabilisticSettings mixedSettings(SamplingMethod method, std::uint64_t samples) {
    ProbabilisticSettings s;
    s.Samples = samples;
    s.Seed = 99;
    s.Method = method;
    s.Threads = 2;
    auto set = [&](Parameter p, Distribution d) { s.Distributions[static_cast<int>(p)] = d; };
    set(Parameter::Dip1, normalDistribution(4));
    set(Parameter::DipDir2, normalDistribution(8));
    set(Parameter::DipFace, uniformDistribution(55, 80));
    set(Parameter::Cohesion1, lognormalDistribution(10));
    set(Parameter::Friction2, normalDistribution(0.1));
    set(Parameter::Seismic, uniformDistribution(0, 0.3));
    // The iterative quantiles (drawn one by one) and correlated strengths.
    set(Parameter::Cohesion2, gammaDistribution(15));
    set(Parameter::Friction1, betaDistribution(0.08, 0.2, 0.6));
    set(Parameter::RockUnitWeight, truncated(triangularDistribution(22, 28), {}, 27));
    s.Correlation = {-0.5, 0.3};
    return s;
}

void expectSameRun(const ProbabilisticResult& a, const ProbabilisticResult& b) {
    ASSERT_TRUE(a.Statistics && b.Statistics && a.Full.Statistics && b.Full.Statistics);
    EXPECT_EQ(a.SafetyFactors, b.SafetyFactors);
    EXPECT_EQ(a.Full.SafetyFactors, b.Full.SafetyFactors);
    EXPECT_EQ(a.Contacts, b.Contacts);
    EXPECT_EQ(a.Full.Contacts, b.Full.Contacts);
    EXPECT_EQ(a.Failed, b.Failed);
    EXPECT_EQ(bits(a.Statistics->Mean), bits(b.Statistics->Mean));
    EXPECT_EQ(bits(a.Statistics->Sd), bits(b.Statistics->Sd));
    EXPECT_EQ(bits(a.Full.Statistics->Mean), bits(b.Full.Statistics->Mean));
    EXPECT_EQ(bits(a.Full.Statistics->Sd), bits(b.Full.Statistics->Sd));
    EXPECT_EQ(a.Bins.Counts, b.Bins.Counts);
    EXPECT_EQ(a.Full.Bins.Counts, b.Full.Bins.Counts);
    EXPECT_EQ(a.PFailure, b.PFailure);
    EXPECT_EQ(a.Full.PBelowRequired, b.Full.PBelowRequired);
}

} // namespace

// A run in vector lanes is the run worked out sample by sample through the
// scalar analyses, bit for bit, on one thread and on two, for a sample count
// that leaves a padded partial block, with and without a tension crack (whose
// full factor the scalar analysis takes) and with joint sets.
TEST(Kernel, VectorRunIsTheScalarRunOnAnyNumberOfThreads) {
    WedgeLoads crack;
    crack.Crack = TensionCrack{{80, 170}, 10, 5};
    for (SamplingMethod method : {SamplingMethod::MonteCarlo, SamplingMethod::LatinHypercube})
        for (const WedgeLoads& loads : {WedgeLoads{}, crack})
            for (bool fisher : {false, true}) {
                SCOPED_TRACE(std::to_string(int(method)) + (loads.Crack ? " crack" : "") + (fisher ? " fisher" : ""));
                ProbabilisticSettings s = mixedSettings(method, 3 * 4096 + 13);
                if (fisher) {
                    s.Distributions[static_cast<int>(Parameter::Dip1)] = {};
                    s.Distributions[static_cast<int>(Parameter::DipDir2)] = {};
                    s.FisherKappa = {30, 40};
                }
                const ProbabilisticResult lanes =
                    runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), loads, s);
                s.Vectorised = false;
                s.Threads = 1;
                const ProbabilisticResult scalar =
                    runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), loads, s);
                expectSameRun(lanes, scalar);
            }
}

// The moments combined from the chunks agree with the figures taken over all
// kept values in one pass, and a run that keeps no values gives the same
// figures; also with a last chunk whose last three samples are summed one
// by one after the four running sums.
TEST(Kernel, CombinedMomentsMatchOnePassAndNeedNoKeptValues) {
    for (std::uint64_t samples : {50'000u, 4096u + 4099u}) {
        SCOPED_TRACE(samples);
        ProbabilisticSettings s = mixedSettings(SamplingMethod::MonteCarlo, samples);
        const ProbabilisticResult r = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s);
        for (const auto& [values, stats] :
             {std::pair(r.SafetyFactors, *r.Statistics), std::pair(r.Full.SafetyFactors, *r.Full.Statistics)}) {
            long double sum = 0, squares = 0;
            for (double v : values) sum += v;
            const long double mean = sum / values.size();
            for (double v : values) squares += (v - mean) * (v - mean);
            EXPECT_NEAR(stats.Mean, double(mean), 1e-12 * std::fabs(double(mean)));
            EXPECT_NEAR(stats.Sd, std::sqrt(double(squares / (values.size() - 1))), 1e-9 * stats.Sd);
            EXPECT_EQ(stats.Min, *std::min_element(values.begin(), values.end()));
            EXPECT_EQ(stats.Max, *std::max_element(values.begin(), values.end()));
        }
        s.KeepFactors = false;
        const ProbabilisticResult bare = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s);
        EXPECT_TRUE(bare.SafetyFactors.empty() && bare.Full.SafetyFactors.empty());
        EXPECT_EQ(bare.Wedges, r.Wedges);
        EXPECT_EQ(bits(bare.Statistics->Sd), bits(r.Statistics->Sd));
        EXPECT_EQ(bare.Bins.Counts, r.Bins.Counts);
        EXPECT_EQ(bare.Full.Bins.Counts, r.Full.Bins.Counts);
    }
}
