#pragma once
// Cells of the lower hemisphere of directions, for counting many lines by
// where they point. The hemisphere is seen from the centre of a cube on the
// five faces below it (the bottom and the lower halves of the four sides),
// each a grid of squares: a direction falls in the square its ray meets.
// Lines through the centre map to lines on a face, so every cell is
// bounded by four arcs of great circles and lies within its corners'
// greatest angle from its centre.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "model/block.h"

namespace trelmox {

class SphereCells {
public:
    // Each cell is cut into Sub x Sub squares of the same face, for the
    // cells that need a closer look.
    static constexpr int Sub = 4, SubBits = 4;

    // `side` squares along an edge of a face, even.
    explicit SphereCells(int side)
        : side_(side), half_(side / 2), scale_(0.5 * side * Sub), halfScale_(double(side / 2) * Sub) {}

    int side() const { return side_; }
    std::size_t size() const { return std::size_t(side_) * side_ + 4 * std::size_t(side_) * half_; }

    // The cell of a direction with z <= 0 and some component not 0, shifted
    // by SubBits, and the square of it that the direction falls in, in the
    // low bits. Written to vectorise: no branch, every lane computing every
    // case.
    [[gnu::always_inline]] std::uint32_t cell(double x, double y, double z) const {
        const double ax = std::abs(x), ay = std::abs(y), az = std::abs(z);
        const bool xSide = ax >= ay;
        const double across = xSide ? ax : ay;
        const bool bottom = az >= across;
        const double inverse = 1 / (bottom ? az : across);
        const double u = bottom | !xSide ? x : y;
        const double v = bottom ? y : z;
        const int i = std::min(std::max(static_cast<int>((u * inverse + 1) * scale_), 0), side_ * Sub - 1);
        const int j = std::min(std::max(static_cast<int>((v * inverse + 1) * (bottom ? scale_ : halfScale_)), 0),
                               (bottom ? side_ : half_) * Sub - 1);
        const int face = xSide ? (x > 0 ? 0 : 1) : (y > 0 ? 2 : 3);
        const int ci = i / Sub, cj = j / Sub, square = (i - ci * Sub) * Sub + (j - cj * Sub);
        const int index = bottom ? ci * side_ + cj : side_ * side_ + face * side_ * half_ + ci * half_ + cj;
        return static_cast<std::uint32_t>(index << SubBits | square);
    }

    struct Geometry {
        TPoint3D Centre; // unit
        double Radius;   // radians: no direction of the cell is farther from the centre
    };
    // Of a cell (without its square's bits).
    Geometry geometry(std::uint32_t cell) const;
    // The centre of a square of a cell, unit.
    TPoint3D squareCentre(std::uint32_t cell, int square) const;

private:
    // The direction of face coordinates (u, v), each -1..1 (v -1..0 on a side).
    TPoint3D direction(std::uint32_t cell, double u, double v) const;
    // The face coordinates of a cell's first corner and its size.
    void corner(std::uint32_t cell, double& u, double& v, double& du, double& dv) const;

    int side_, half_;
    double scale_, halfScale_;
};

} // namespace trelmox
