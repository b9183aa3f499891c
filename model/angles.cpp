#include "model/angles.h"

namespace trelmox {

template <typename Real> std::array<SinCos<Real>, WholeDegreeCount> computeWholeDegreeSinCos() {
    std::array<SinCos<Real>, WholeDegreeCount> values;
    for (int d = 0; d < WholeDegreeCount; ++d) {
        const Real radians = radiansOf<Real>(d);
        values[d] = {std::sin(radians), std::cos(radians)};
    }
    return values;
}

std::array<double, WholeDegreeCount> computeWholeDegreeTan() {
    std::array<double, WholeDegreeCount> values;
    for (int d = 0; d < WholeDegreeCount; ++d) values[d] = std::tan(radiansOf<double>(d));
    return values;
}

template std::array<SinCos<double>, WholeDegreeCount> computeWholeDegreeSinCos<double>();
template std::array<SinCos<long double>, WholeDegreeCount> computeWholeDegreeSinCos<long double>();

} // namespace trelmox
