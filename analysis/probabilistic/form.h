#pragma once
// The first- and second-order reliability methods on a limit state
// g(u) = factor - 1 in standard normal space (failure where g < 0).
//
// The design point, the point of the limit state nearest the origin, is
// found by the improved Hasofer-Lind-Rackwitz-Fiessler iteration (Zhang and
// Der Kiureghian): each step goes to where the limit state's tangent plane
// is nearest the origin, and is cut back (halved) until the merit
// 0.5 |u|^2 + c |g| falls enough, c > |u| / |grad g|, which keeps the
// iteration from cycling where the surface curves and lets it step back
// from points where the factor does not exist (no wedge, a failed
// computation). Gradients are central differences of the exact factor,
// one-sided beside a point without one.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/probabilistic/reliability_space.h"

namespace trelmox {

// The factor at a point of standard space.
using StandardFactor = std::function<FactorValue(const double* u)>;

enum class FormStatus {
    Converged,
    NoFactorAtStart, // the starting point cuts out no wedge (or its computation fails)
    FlatFactor,      // the factor does not change with the inputs there
    NoFactorNearby,  // no factor on either side of a point along some input
    NotConverged,    // the iterations ran out or no step made progress
};

struct DesignPoint {
    FormStatus Status = FormStatus::NotConverged;
    // At the last point reached (the design point when converged):
    // beta = alpha . u, signed (negative where the origin fails);
    // alpha = -grad g / |grad g|, so that u = beta alpha at the design point.
    double Beta = 0;
    std::vector<double> U, Alpha;
    FactorValue Value;       // the factor there
    double GradientNorm = 0; // |grad g| there
    int Iterations = 0;
    std::uint64_t Evaluations = 0;
};

struct FormSettings {
    int MaxIterations = 100;
    // Converged when |g| <= GTolerance and the point lies on the gradient's
    // line through the origin within DirectionTolerance x max(1, |u|).
    double GTolerance = 1e-9;
    double DirectionTolerance = 1e-6;
    double Step = 1e-5; // of the central differences, in standard deviations
};

// The design point searched from `start` (n coordinates).
DesignPoint findDesignPoint(const StandardFactor& factor, const std::vector<double>& start,
                            const FormSettings& settings = {});

// The second-order correction at a converged design point: the limit
// state's main curvatures there (from second differences along the
// tangent plane, positive where the surface bends away from the origin)
// and the probabilities of Breitung's asymptotic formula and Tvedt's three
// terms. None where the formula breaks down (1 + beta kappa <= 0).
struct SecondOrder {
    std::vector<double> Curvatures;
    std::optional<double> Breitung, Tvedt;
    std::uint64_t Evaluations = 0;
};
SecondOrder secondOrder(const StandardFactor& factor, const DesignPoint& point, double step = 1e-4);

// Breitung's and Tvedt's probabilities for beta and the main curvatures.
std::optional<double> breitungProbability(double beta, const std::vector<double>& curvatures);
std::optional<double> tvedtProbability(double beta, const std::vector<double>& curvatures);

// The eigenvalues of a symmetric n x n matrix (row-major), by Jacobi
// rotations; ascending.
std::vector<double> symmetricEigenvalues(std::vector<double> matrix, std::size_t n);

// The probability that two standard normals of correlation rho are both
// below a and b.
double bivariateNormalCdf(double a, double b, double rho);

} // namespace trelmox
