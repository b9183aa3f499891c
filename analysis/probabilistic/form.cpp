#include "analysis/probabilistic/form.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace trelmox {

namespace {

double dot(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0;
    for (std::size_t k = 0; k < a.size(); ++k) sum += a[k] * b[k];
    return sum;
}

double length(const std::vector<double>& a) { return std::sqrt(dot(a, a)); }

// g = factor - 1 where the factor exists, counting the evaluations.
class Probe {
public:
    explicit Probe(const StandardFactor& factor) : factor_(factor) {}
    std::optional<double> g(const std::vector<double>& u, FactorValue* value = nullptr) {
        ++evaluations_;
        const FactorValue v = factor_(u.data());
        if (value) *value = v;
        if (!hasFactor(v)) return std::nullopt;
        return v.Factor - 1;
    }
    std::uint64_t evaluations() const { return evaluations_; }

private:
    const StandardFactor& factor_;
    std::uint64_t evaluations_ = 0;
};

// Central differences, one-sided where one side has no factor; false where
// neither has. The steps are taken as the points hold them.
bool gradient(Probe& probe, std::vector<double> u, double g, double h, std::vector<double>& grad) {
    for (std::size_t k = 0; k < u.size(); ++k) {
        const double at = u[k];
        u[k] = at + h;
        const double up = u[k];
        const std::optional<double> above = probe.g(u);
        u[k] = at - h;
        const double down = u[k];
        const std::optional<double> below = probe.g(u);
        u[k] = at;
        if (above && below)
            grad[k] = (*above - *below) / (up - down);
        else if (above)
            grad[k] = (*above - g) / (up - at);
        else if (below)
            grad[k] = (g - *below) / (at - down);
        else
            return false;
    }
    return true;
}

// Armijo's constant: a step must take off at least this share of the
// decrease its slope promises.
constexpr double Armijo = 1e-4;
constexpr int MostHalvings = 40;

} // namespace

DesignPoint findDesignPoint(const StandardFactor& factor, const std::vector<double>& start,
                            const FormSettings& settings) {
    Probe probe(factor);
    DesignPoint r;
    const std::size_t n = start.size();
    std::vector<double> u = start, grad(n), d(n), trial(n);
    FactorValue value;
    std::optional<double> g = probe.g(u, &value);
    r.U = u, r.Value = value;
    if (!g) {
        r.Status = FormStatus::NoFactorAtStart;
        r.Evaluations = probe.evaluations();
        return r;
    }
    for (int iteration = 0;; ++iteration) {
        if (!gradient(probe, u, *g, settings.Step, grad)) {
            r.Status = FormStatus::NoFactorNearby;
            break;
        }
        const double norm = length(grad);
        if (!(norm > 0) || !std::isfinite(norm)) {
            r.Status = FormStatus::FlatFactor;
            break;
        }
        r.Alpha.resize(n);
        for (std::size_t k = 0; k < n; ++k) r.Alpha[k] = -grad[k] / norm;
        r.U = u, r.Value = value, r.GradientNorm = norm, r.Iterations = iteration;
        r.Beta = dot(r.Alpha, u);
        double off = 0;
        for (std::size_t k = 0; k < n; ++k) off += (u[k] - r.Beta * r.Alpha[k]) * (u[k] - r.Beta * r.Alpha[k]);
        off = std::sqrt(off);
        const double radius = std::max(1.0, length(u));
        if (std::abs(*g) <= settings.GTolerance && off <= settings.DirectionTolerance * radius) {
            r.Status = FormStatus::Converged;
            break;
        }
        if (iteration == settings.MaxIterations) {
            r.Status = FormStatus::NotConverged;
            break;
        }
        // To the point of the tangent plane nearest the origin.
        const double toPlane = (dot(grad, u) - *g) / (norm * norm);
        for (std::size_t k = 0; k < n; ++k) d[k] = toPlane * grad[k] - u[k];
        const double weight = 2 * length(u) / norm + 10;
        const double merit = 0.5 * dot(u, u) + weight * std::abs(*g);
        // The merit's slope along d: grad g . d = -g, so |g| falls at |g|.
        const double slope = dot(u, d) - weight * std::abs(*g);
        bool stepped = false;
        double lambda = 1;
        for (int halving = 0; halving < MostHalvings && !stepped; ++halving, lambda /= 2) {
            for (std::size_t k = 0; k < n; ++k) trial[k] = u[k] + lambda * d[k];
            FactorValue trialValue;
            const std::optional<double> trialG = probe.g(trial, &trialValue);
            if (!trialG) continue;
            if (0.5 * dot(trial, trial) + weight * std::abs(*trialG) <= merit + Armijo * lambda * slope) {
                u = trial, g = trialG, value = trialValue;
                stepped = true;
            }
        }
        if (!stepped) {
            // Rounding can refuse the last tiny step of a point that has
            // all but converged: a hundred times the tolerances accept it.
            const bool nearly =
                std::abs(*g) <= 100 * settings.GTolerance && off <= 100 * settings.DirectionTolerance * radius;
            r.Status = nearly ? FormStatus::Converged : FormStatus::NotConverged;
            break;
        }
    }
    r.Evaluations = probe.evaluations();
    return r;
}

std::vector<double> symmetricEigenvalues(std::vector<double> a, std::size_t n) {
    auto at = [&](std::size_t i, std::size_t j) -> double& { return a[i * n + j]; };
    for (int sweep = 0; sweep < 100; ++sweep) {
        double offDiagonal = 0, diagonal = 0;
        for (std::size_t i = 0; i < n; ++i) {
            diagonal += at(i, i) * at(i, i);
            for (std::size_t j = i + 1; j < n; ++j) offDiagonal += at(i, j) * at(i, j);
        }
        if (offDiagonal <= 1e-30 * diagonal || offDiagonal == 0) break;
        for (std::size_t p = 0; p < n; ++p)
            for (std::size_t q = p + 1; q < n; ++q) {
                if (at(p, q) == 0) continue;
                const double theta = (at(q, q) - at(p, p)) / (2 * at(p, q));
                const double t = (theta >= 0 ? 1 : -1) / (std::abs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (std::size_t k = 0; k < n; ++k) {
                    const double kp = at(k, p), kq = at(k, q);
                    at(k, p) = c * kp - s * kq, at(k, q) = s * kp + c * kq;
                }
                for (std::size_t k = 0; k < n; ++k) {
                    const double pk = at(p, k), qk = at(q, k);
                    at(p, k) = c * pk - s * qk, at(q, k) = s * pk + c * qk;
                }
            }
    }
    std::vector<double> values(n);
    for (std::size_t i = 0; i < n; ++i) values[i] = at(i, i);
    std::sort(values.begin(), values.end());
    return values;
}

namespace {

// Pf for beta > 0 by the formula; for beta < 0 one less the safe side's,
// whose limit state -g has -beta and curvatures -kappa (the products
// beta kappa are the same).
template <typename Formula>
std::optional<double> eitherSide(double beta, const std::vector<double>& curvatures, Formula formula) {
    if (beta >= 0) return formula(beta, curvatures);
    std::vector<double> flipped;
    for (double kappa : curvatures) flipped.push_back(-kappa);
    const std::optional<double> safe = formula(-beta, flipped);
    if (!safe) return std::nullopt;
    return 1 - *safe;
}

// prod (1 + b kappa_i)^(-1/2), none where a factor is not above 0.
std::optional<double> inverseRootProduct(double b, const std::vector<double>& curvatures) {
    double product = 1;
    for (double kappa : curvatures) {
        const double factor = 1 + b * kappa;
        if (!(factor > 0)) return std::nullopt;
        product /= std::sqrt(factor);
    }
    return product;
}

double normalDensity(double x) { return std::exp(-0.5 * x * x) / std::sqrt(2 * std::numbers::pi); }

} // namespace

std::optional<double> breitungProbability(double beta, const std::vector<double>& curvatures) {
    return eitherSide(beta, curvatures, [](double b, const std::vector<double>& kappa) -> std::optional<double> {
        const auto product = inverseRootProduct(b, kappa);
        if (!product) return std::nullopt;
        return normalCdf(-b) * *product;
    });
}

std::optional<double> tvedtProbability(double beta, const std::vector<double>& curvatures) {
    return eitherSide(beta, curvatures, [](double b, const std::vector<double>& kappa) -> std::optional<double> {
        const auto first = inverseRootProduct(b, kappa), second = inverseRootProduct(b + 1, kappa);
        if (!first || !second) return std::nullopt;
        std::complex<double> third = 1;
        for (double k : kappa) third /= std::sqrt(std::complex<double>(1 + b * k, k));
        const double tail = normalCdf(-b);
        const double common = b * tail - normalDensity(b);
        const double a1 = tail * *first;
        const double a2 = common * (*first - *second);
        const double a3 = (b + 1) * common * (*first - third.real());
        return a1 + a2 + a3;
    });
}

SecondOrder secondOrder(const StandardFactor& factor, const DesignPoint& point, double h) {
    SecondOrder r;
    const std::size_t n = point.U.size();
    if (point.Status != FormStatus::Converged || n == 0) return r;
    Probe probe(factor);
    // The tangent plane's axes: the Householder reflection that swaps the
    // last axis and alpha, whose other columns are orthonormal and normal to alpha.
    std::vector<double> v(n);
    for (std::size_t k = 0; k < n; ++k) v[k] = point.Alpha[k] - (k + 1 == n ? 1 : 0);
    const double vv = dot(v, v);
    const std::size_t m = n - 1;
    std::vector<std::vector<double>> tangents(m, std::vector<double>(n));
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t k = 0; k < n; ++k) tangents[i][k] = (i == k ? 1 : 0) - (vv > 1e-24 ? 2 * v[i] * v[k] / vv : 0);
    const double g0 = point.Value.Factor - 1;
    auto at = [&](double a, std::size_t i, double b, std::size_t j) {
        std::vector<double> u = point.U;
        for (std::size_t k = 0; k < n; ++k) u[k] += a * tangents[i][k] + b * tangents[j][k];
        return probe.g(u);
    };
    std::vector<double> matrix(m * m);
    bool complete = true;
    for (std::size_t i = 0; i < m && complete; ++i) {
        const auto plus = at(h, i, 0, i), minus = at(-h, i, 0, i);
        if (!plus || !minus)
            complete = false;
        else
            matrix[i * m + i] = (*plus - 2 * g0 + *minus) / (h * h) / point.GradientNorm;
        for (std::size_t j = i + 1; j < m && complete; ++j) {
            const auto pp = at(h, i, h, j), pm = at(h, i, -h, j), mp = at(-h, i, h, j), mm = at(-h, i, -h, j);
            if (!pp || !pm || !mp || !mm)
                complete = false;
            else
                matrix[i * m + j] = matrix[j * m + i] = (*pp - *pm - *mp + *mm) / (4 * h * h) / point.GradientNorm;
        }
    }
    r.Evaluations = probe.evaluations();
    if (!complete) return r;
    r.Curvatures = symmetricEigenvalues(matrix, m);
    r.Breitung = breitungProbability(point.Beta, r.Curvatures);
    r.Tvedt = tvedtProbability(point.Beta, r.Curvatures);
    return r;
}

namespace {

// Adaptive Simpson's rule on [a, b] to an absolute tolerance.
template <typename F>
double simpson(const F& f, double a, double fa, double m, double fm, double b, double fb, double whole,
               double tolerance, int depth) {
    const double left = (a + m) / 2, right = (m + b) / 2;
    const double fl = f(left), fr = f(right);
    const double l = (m - a) / 6 * (fa + 4 * fl + fm), r = (b - m) / 6 * (fm + 4 * fr + fb);
    if (depth <= 0 || std::abs(l + r - whole) <= 15 * tolerance) return l + r + (l + r - whole) / 15;
    return simpson(f, a, fa, left, fl, m, fm, l, tolerance / 2, depth - 1) +
           simpson(f, m, fm, right, fr, b, fb, r, tolerance / 2, depth - 1);
}

} // namespace

// Phi2(a, b; rho) = Phi(a) Phi(b) + the integral of the bivariate density
// over the correlation from 0 to rho, taken in theta = asin(r): then
// (1 / 2 pi) exp(-(a^2 + b^2 - 2ab sin theta) / (2 cos^2 theta)), smooth up to
// |rho| = 1.
double bivariateNormalCdf(double a, double b, double rho) {
    if (rho >= 1) return normalCdf(std::min(a, b));
    if (rho <= -1) return std::max(0.0, normalCdf(a) - normalCdf(-b));
    const double independent = normalCdf(a) * normalCdf(b);
    if (rho == 0) return independent;
    const auto density = [&](double theta) {
        const double c = std::cos(theta);
        return std::exp(-(a * a + b * b - 2 * a * b * std::sin(theta)) / (2 * c * c)) / (2 * std::numbers::pi);
    };
    const double end = std::asin(rho);
    const double tolerance = 1e-12 * std::min(normalCdf(a), normalCdf(b)) + 1e-300;
    // In pieces first, so that a narrow peak of the density is not missed.
    constexpr int Pieces = 32;
    double integral = 0;
    for (int i = 0; i < Pieces; ++i) {
        const double x0 = end * i / Pieces, x1 = end * (i + 1) / Pieces, xm = (x0 + x1) / 2;
        const double f0 = density(x0), f1 = density(x1), fm = density(xm);
        integral +=
            simpson(density, x0, f0, xm, fm, x1, f1, (x1 - x0) / 6 * (f0 + 4 * fm + f1), tolerance / Pieces, 30);
    }
    return std::clamp(independent + integral, 0.0, std::min(normalCdf(a), normalCdf(b)));
}

} // namespace trelmox
