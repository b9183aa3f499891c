#include "analysis/cloud/cloud_settings.h"

#include <charconv>
#include <cmath>

#include "model/error.h"

namespace trelmox {

CloudSettings cloudSettings(double voxel, std::size_t neighbours, double minFacetArea, const std::string& sets,
                            const std::string& weight) {
    const auto refused = [](const std::string& message, const char* option) { return Error::refused(message, option); };
    CloudSettings settings;
    if (!(voxel >= 0 && std::isfinite(voxel))) throw refused("--voxel should be a number of at least 0", "voxel");
    if (!(minFacetArea >= 0 && std::isfinite(minFacetArea)))
        throw refused("--min-facet-area should be a number of at least 0", "min-facet-area");
    if (neighbours < 3 || neighbours > 200) throw refused("--neighbours should be 3 to 200", "neighbours");
    settings.Voxel = voxel;
    settings.Facets.MinArea = minFacetArea;
    settings.Facets.Neighbours = neighbours;
    const bool automatic = sets.starts_with("auto:");
    const std::string count = automatic ? sets.substr(5) : sets;
    int n = 0;
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), n);
    if (count.empty() || error != std::errc() || end != count.data() + count.size() || n < 1 || n > 50)
        throw refused("invalid value '" + sets + "' for --sets (N or auto:N with 1 <= N <= 50)", "sets");
    settings.Sets.Sets = automatic ? 0 : n;
    settings.Sets.MaxSets = n;
    if (weight != "area" && weight != "count")
        throw refused("invalid value '" + weight + "' for --weight (area or count)", "weight");
    settings.Sets.ByArea = weight == "area";
    return settings;
}

} // namespace trelmox
