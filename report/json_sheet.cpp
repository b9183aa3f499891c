#include "report/json_sheet.h"

#include <algorithm>
#include <map>
#include <string_view>

namespace trelmox {

namespace {

// One row's cells by column key, in the order they come.
using FlatRow = std::vector<std::pair<std::string, XlsxCell>>;

XlsxCell cellOf(const Json& value) {
    if (value.is_boolean()) return value.get<bool>();
    if (value.is_number()) return value.get<double>();
    if (value.is_string()) return value.get<std::string>();
    return std::monostate{};
}

void flatten(const std::string& key, const Json& value, FlatRow& row) {
    const auto inner = [&](const std::string& part) { return key.empty() ? part : key + '.' + part; };
    if (value.is_object() && !value.empty()) {
        for (const auto& [part, item] : value.items()) flatten(inner(part), item, row);
    } else if (value.is_array() &&
               std::all_of(value.begin(), value.end(), [](const Json& v) { return v.is_string(); })) {
        std::string joined;
        for (std::size_t i = 0; i < value.size(); ++i) joined += (i ? "; " : "") + value[i].get<std::string>();
        row.emplace_back(key, joined);
    } else if (value.is_array()) {
        for (std::size_t i = 0; i < value.size(); ++i) flatten(inner(std::to_string(i)), value[i], row);
    } else {
        row.emplace_back(key, cellOf(value));
    }
}

bool isIndex(const std::string& part) {
    return !part.empty() && std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string unitOfKey(const std::string& key) {
    static const std::map<std::string, std::string, std::less<>> units = {
        {"volume", "m³"},
        {"wedge_volume", "m³"},
        {"failed_volume_mean", "m³"},
        {"volume_mean", "m³"},
        {"volume_p5", "m³"},
        {"volume_p50", "m³"},
        {"volume_p95", "m³"},
        {"height", "m"},
        {"scaled_height", "m"},
        {"back_break", "m"},
        {"back_break_length", "m"},
        {"remaining_bench", "m"},
        {"weight", "kN"},
        {"weight_mean", "kN"},
        {"required_bolt_force", "kN"},
        {"shear_force", "kN"},
        {"normal_stress", "kPa"},
        {"plunge", "°"},
        {"required_bolt_trend", "°"},
        {"required_bolt_plunge", "°"},
        {"dip1", "°"},
        {"dipdir1", "°"},
        {"dip2", "°"},
        {"dipdir2", "°"},
    };
    if (key.starts_with("areas.")) return "m²";
    // The failed wedges' volumes are binned in m³, the factors in none.
    if (key.starts_with("fs.failed_sizes.histogram.edges.")) return "m³";
    std::string_view last = key;
    if (const auto dot = last.rfind('.'); dot != std::string_view::npos) last = last.substr(dot + 1);
    if (isIndex(std::string(last))) return {};
    const auto found = units.find(last);
    return found == units.end() ? std::string() : found->second;
}

XlsxSheet xlsxSheetOf(const std::vector<Json>& rows, const std::string& name) {
    std::vector<FlatRow> flat(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) flatten("", rows[r], flat[r]);
    // A key first met in a later row goes after the key before it in that
    // row, so that the columns keep the JSON's order; a key that is null in
    // one row ("areas") and an object in another ("areas.plane1") keeps only
    // the object's columns.
    std::vector<std::string> keys;
    for (const FlatRow& row : flat) {
        std::size_t at = 0;
        for (const auto& [key, cell] : row) {
            const auto found = std::find(keys.begin(), keys.end(), key);
            if (found == keys.end())
                keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(at), key);
            else
                at = static_cast<std::size_t>(found - keys.begin());
            ++at;
        }
    }
    std::erase_if(keys, [&](const std::string& key) {
        return std::any_of(keys.begin(), keys.end(),
                           [&](const std::string& other) { return other.starts_with(key + '.'); });
    });
    std::map<std::string, std::size_t> columns;
    for (std::size_t i = 0; i < keys.size(); ++i) columns.emplace(keys[i], i);
    XlsxSheet sheet;
    sheet.Name = name;
    sheet.Keys = keys;
    for (const std::string& key : keys) sheet.Units.push_back(unitOfKey(key));
    for (const FlatRow& row : flat) {
        std::vector<XlsxCell> cells(keys.size());
        for (const auto& [key, cell] : row)
            if (const auto column = columns.find(key); column != columns.end()) cells[column->second] = cell;
        sheet.Rows.push_back(std::move(cells));
    }
    return sheet;
}

} // namespace trelmox
