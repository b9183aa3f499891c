#include "analysis/joints/sphere_cells.h"

#include "analysis/vec3.h"

namespace trelmox {

TPoint3D SphereCells::direction(std::uint32_t cell, double u, double v) const {
    const std::uint32_t bottomCells = static_cast<std::uint32_t>(side_) * side_;
    if (cell < bottomCells) return {u, v, -1};
    switch ((cell - bottomCells) / (static_cast<std::uint32_t>(side_) * half_)) {
    case 0: return {1, u, v};
    case 1: return {-1, u, v};
    case 2: return {u, 1, v};
    default: return {u, -1, v};
    }
}

void SphereCells::corner(std::uint32_t cell, double& u, double& v, double& du, double& dv) const {
    const std::uint32_t bottomCells = static_cast<std::uint32_t>(side_) * side_;
    const bool bottom = cell < bottomCells;
    const std::uint32_t within = bottom ? cell : (cell - bottomCells) % (static_cast<std::uint32_t>(side_) * half_);
    const int rows = bottom ? side_ : half_;
    const int i = static_cast<int>(within) / rows, j = static_cast<int>(within) % rows;
    du = 2.0 / side_, dv = bottom ? 2.0 / side_ : 1.0 / half_;
    u = -1 + i * du, v = -1 + j * dv;
}

SphereCells::Geometry SphereCells::geometry(std::uint32_t cell) const {
    double u0 = 0, v0 = 0, du = 0, dv = 0;
    corner(cell, u0, v0, du, dv);
    const auto unit = [](const TPoint3D& p) { return (1 / norm(p)) * p; };
    Geometry g{unit(direction(cell, u0 + du / 2, v0 + dv / 2)), 0};
    for (const double u : {u0, u0 + du})
        for (const double v : {v0, v0 + dv}) {
            const TPoint3D corner = unit(direction(cell, u, v));
            g.Radius = std::max(g.Radius, std::atan2(norm(cross(g.Centre, corner)), dot(g.Centre, corner)));
        }
    return g;
}

TPoint3D SphereCells::squareCentre(std::uint32_t cell, int square) const {
    double u0 = 0, v0 = 0, du = 0, dv = 0;
    corner(cell, u0, v0, du, dv);
    const TPoint3D d = direction(cell, u0 + (square / Sub + 0.5) * du / Sub, v0 + (square % Sub + 0.5) * dv / Sub);
    return (1 / norm(d)) * d;
}

} // namespace trelmox
