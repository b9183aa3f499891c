// FORM and SORM against closed forms: the design point search, the
// curvatures and their probabilities, the bivariate normal and the system
// bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/probabilistic/form.h"
#include "analysis/probabilistic/reliability.h"

using namespace trelmox;

namespace {

// A limit state given in standard space.
StandardFactor standardFactor(std::function<double(const double*)> g) {
    return [g](const double* u) { return FactorValue{1 + g(u), SampleOutcome::BothPlanes}; };
}

// P(u2 > b + k u1^2 / 2) for independent standard normals, by quadrature.
double paraboloidProbability(double b, double k) {
    double sum = 0;
    const double h = 1e-3;
    for (double x = -12; x <= 12; x += h) {
        const double density = std::exp(-x * x / 2) / std::sqrt(2 * std::numbers::pi);
        sum += density * normalCdf(-(b + k * x * x / 2)) * h;
    }
    return sum;
}

} // namespace

TEST(Form, LinearLimitStateGivesTheExactIndexAndIsItsOwnSecondOrder) {
    struct Case {
        std::vector<double> a; // g = a0 + a1 u1 + a2 u2 + ...
    };
    for (const Case& c : {Case{{3, -1, -2}}, Case{{-1.5, 0.3, 0.4, -1}}, Case{{4.5, 1, 0, 0, -0.5}}}) {
        const StandardFactor factor = standardFactor([&](const double* u) {
            double g = c.a[0];
            for (std::size_t k = 1; k < c.a.size(); ++k) g += c.a[k] * u[k - 1];
            return g;
        });
        double norm = 0;
        for (std::size_t k = 1; k < c.a.size(); ++k) norm += c.a[k] * c.a[k];
        norm = std::sqrt(norm);
        const DesignPoint p = findDesignPoint(factor, std::vector<double>(c.a.size() - 1, 0.0));
        ASSERT_EQ(p.Status, FormStatus::Converged);
        EXPECT_NEAR(p.Beta, c.a[0] / norm, 1e-9);
        for (std::size_t k = 1; k < c.a.size(); ++k) EXPECT_NEAR(p.Alpha[k - 1], -c.a[k] / norm, 1e-9);
        const SecondOrder second = secondOrder(factor, p);
        for (double kappa : second.Curvatures) EXPECT_NEAR(kappa, 0, 1e-6);
        ASSERT_TRUE(second.Breitung && second.Tvedt);
        EXPECT_NEAR(*second.Breitung / normalCdf(-p.Beta), 1, 1e-6);
        EXPECT_NEAR(*second.Tvedt / normalCdf(-p.Beta), 1, 1e-6);
    }
}

TEST(Form, CurvedLimitStateGivesItsCurvatureAndTheSecondOrderProbability) {
    // u2 = b + k u1^2 / 2 (positive k bends away from the origin), with a
    // third, flat axis.
    for (const auto& [b, k] : {std::pair(3.0, 0.2), std::pair(2.5, -0.15), std::pair(-1.0, 0.3)}) {
        const StandardFactor factor =
            standardFactor([b = b, k = k](const double* u) { return b + k * u[0] * u[0] / 2 - u[1]; });
        const DesignPoint p = findDesignPoint(factor, {0.1, 0, 0});
        ASSERT_EQ(p.Status, FormStatus::Converged);
        EXPECT_NEAR(p.Beta, b, 1e-7);
        const SecondOrder second = secondOrder(factor, p);
        ASSERT_EQ(second.Curvatures.size(), 2u);
        // The flat axis and the parabola's, whichever side the origin is on.
        const double kappa = k;
        EXPECT_NEAR(std::min(second.Curvatures[0], second.Curvatures[1]), std::min(kappa, 0.0), 1e-5);
        EXPECT_NEAR(std::max(second.Curvatures[0], second.Curvatures[1]), std::max(kappa, 0.0), 1e-5);
        const double exact = paraboloidProbability(b, k);
        ASSERT_TRUE(second.Breitung && second.Tvedt);
        EXPECT_NEAR(*second.Tvedt / exact, 1, 0.01) << b << " " << k;
        EXPECT_NEAR(*second.Breitung / exact, 1, 0.05) << b << " " << k;
    }
}

TEST(Form, StepControlFindsTheDesignPointOfAStronglyCurvedLimitState) {
    // The plain iteration cycles here; the merit's step control converges.
    const StandardFactor factor =
        standardFactor([](const double* u) { return 4 - u[1] + 2.5 * u[0] * u[0] - 0.3 * std::pow(u[0], 4); });
    const DesignPoint p = findDesignPoint(factor, {0, 0});
    ASSERT_EQ(p.Status, FormStatus::Converged);
    const double g = 4 - p.U[1] + 2.5 * p.U[0] * p.U[0] - 0.3 * std::pow(p.U[0], 4);
    EXPECT_NEAR(g, 0, 1e-8);
    // A stationary point of the distance on the surface: u parallel to grad g.
    EXPECT_NEAR(std::abs(p.Alpha[0] * p.U[1] - p.Alpha[1] * p.U[0]), 0, 1e-6);
}

TEST(Form, ReportsWhyNoDesignPointIsFound) {
    const StandardFactor flat = standardFactor([](const double*) { return 1.0; });
    EXPECT_EQ(findDesignPoint(flat, {0, 0}).Status, FormStatus::FlatFactor);
    const StandardFactor none = [](const double*) { return FactorValue{0, SampleOutcome::NoBlock}; };
    EXPECT_EQ(findDesignPoint(none, {0, 0}).Status, FormStatus::NoFactorAtStart);
    // A factor only at the origin: no difference on either side.
    const StandardFactor island = [](const double* u) {
        return u[0] == 0 && u[1] == 0 ? FactorValue{2, SampleOutcome::BothPlanes}
                                      : FactorValue{0, SampleOutcome::DivisionByZero};
    };
    EXPECT_EQ(findDesignPoint(island, {0, 0}).Status, FormStatus::NoFactorNearby);
}

TEST(Form, EigenvaluesOfASymmetricMatrix) {
    // diag(1, 2, 4, -3) turned by two rotations into a full matrix.
    const std::vector<double> values = {1, 2, 4, -3};
    const std::size_t n = values.size();
    std::vector<double> r(n * n, 0.0); // R = rotation(0, 1) x rotation(1, 3), orthogonal
    const double c1 = std::cos(0.7), s1 = std::sin(0.7), c2 = std::cos(-1.1), s2 = std::sin(-1.1);
    const double a[4][4] = {{c1, -s1, 0, 0}, {s1, c1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    const double b[4][4] = {{1, 0, 0, 0}, {0, c2, 0, -s2}, {0, 0, 1, 0}, {0, s2, 0, c2}};
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            for (std::size_t k = 0; k < n; ++k) r[i * n + j] += a[i][k] * b[k][j];
    std::vector<double> m(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            for (std::size_t k = 0; k < n; ++k) m[i * n + j] += r[i * n + k] * values[k] * r[j * n + k];
    const std::vector<double> found = symmetricEigenvalues(m, n);
    const std::vector<double> expected = {-3, 1, 2, 4};
    for (std::size_t i = 0; i < n; ++i) EXPECT_NEAR(found[i], expected[i], 1e-12);
}

TEST(Form, BivariateNormalAgreesWithItsIdentities) {
    for (const double rho : {-0.999, -0.6, 0.2, 0.9, 0.99999}) {
        EXPECT_NEAR(bivariateNormalCdf(0, 0, rho), 0.25 + std::asin(rho) / (2 * std::numbers::pi), 1e-13);
        for (const auto& [a, b] : {std::pair(-4.0, -3.5), std::pair(1.0, -0.5), std::pair(-2.0, 2.5)}) {
            // P(X < a, Y < b) + P(X < a, Y > b) = P(X < a), the latter with -rho against -Y.
            const double sum = bivariateNormalCdf(a, b, rho) + bivariateNormalCdf(a, -b, -rho);
            EXPECT_NEAR(sum / normalCdf(a), 1, 1e-9) << a << " " << b << " " << rho;
        }
    }
    EXPECT_DOUBLE_EQ(bivariateNormalCdf(-1, 2, 0), normalCdf(-1) * normalCdf(2));
    EXPECT_DOUBLE_EQ(bivariateNormalCdf(-1, 2, 1), normalCdf(-1));
    EXPECT_DOUBLE_EQ(bivariateNormalCdf(1, 0.5, -1), normalCdf(1) - normalCdf(-0.5));
}

TEST(Form, DitlevsenBoundsOfKnownSystems) {
    auto mode = [](double beta, std::vector<double> alpha) {
        ReliabilityMode m;
        m.Beta = beta, m.PfForm = normalCdf(-beta), m.Alpha = std::move(alpha);
        return m;
    };
    const double p1 = normalCdf(-3), p2 = normalCdf(-3.5);
    // Independent modes: with two the bounds meet at the union.
    auto [low, high] = ditlevsenBounds({mode(3.5, {0, 1}), mode(3, {1, 0})});
    EXPECT_NEAR(low / (p1 + p2 - p1 * p2), 1, 1e-9);
    EXPECT_NEAR(high / (p1 + p2 - p1 * p2), 1, 1e-9);
    // The same mode twice is the mode.
    std::tie(low, high) = ditlevsenBounds({mode(3, {0.6, 0.8}), mode(3, {0.6, 0.8})});
    EXPECT_NEAR(low / p1, 1, 1e-9);
    EXPECT_NEAR(high / p1, 1, 1e-9);
    // Three correlated modes: the bounds hold the union between them.
    std::tie(low, high) = ditlevsenBounds({mode(3, {1, 0}), mode(3.2, {0.8, 0.6}), mode(3.4, {0, 1})});
    EXPECT_LT(low, high);
    EXPECT_GT(low, p1);
    EXPECT_LT(high, p1 + normalCdf(-3.2) + normalCdf(-3.4));
}

TEST(Form, TargetIndicesBySafetyClassAndFailureType) {
    EXPECT_DOUBLE_EQ(targetBeta(SafetyClass::First, FailureType::Ductile), 3.7);
    EXPECT_DOUBLE_EQ(targetBeta(SafetyClass::Second, FailureType::Ductile), 3.2);
    EXPECT_DOUBLE_EQ(targetBeta(SafetyClass::Third, FailureType::Ductile), 2.7);
    EXPECT_DOUBLE_EQ(targetBeta(SafetyClass::First, FailureType::Brittle), 4.2);
    EXPECT_DOUBLE_EQ(targetBeta(SafetyClass::Second, FailureType::Brittle), 3.7);
    EXPECT_DOUBLE_EQ(targetBeta(SafetyClass::Third, FailureType::Brittle), 3.2);
}
