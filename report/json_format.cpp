#include "report/json_format.h"

#include <cmath>
#include <cstdio>

#include "model/error_key.h"

namespace trelmox {

const char* stateInData(StabilityState state) {
    switch (state) {
    case StabilityState::Unstable: return "不稳定";
    case StabilityState::Marginal: return "欠稳定";
    case StabilityState::BasicallyStable: return "基本稳定";
    case StabilityState::Stable: return "稳定";
    }
    return "";
}

const char* stateCode(StabilityState state) {
    switch (state) {
    case StabilityState::Unstable: return "unstable";
    case StabilityState::Marginal: return "marginal";
    case StabilityState::BasicallyStable: return "basically_stable";
    case StabilityState::Stable: return "stable";
    }
    return "";
}

Json jsonOf(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

Json jsonOf(const std::optional<std::string>& text) { return text ? Json(*text) : Json(nullptr); }

std::string jsonLine(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

std::string jsonString(const std::string& text) { return jsonLine(Json(text)); }

std::string jsonNumber(double value) { return jsonLine(jsonOf(value)); }

std::string csvNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += (c == '"') ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

namespace {

// Terminal columns of UTF-8 text: East Asian characters take two.
std::size_t displayWidth(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += length >= 3 ? 2 : 1;
        i += length;
    }
    return width;
}

std::string padded(const std::string& text, std::size_t width) {
    const std::size_t used = displayWidth(text);
    return text + std::string(used < width ? width - used : 1, ' ');
}

} // namespace

std::string tableRow(const std::vector<std::string>& cells, const std::vector<std::size_t>& widths) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) line += padded(cells[i], widths[i]);
    return line.substr(0, line.find_last_not_of(' ') + 1);
}

const char* errorKindKey(const Error& failure) { return errorKey(failure); }

} // namespace trelmox
