#include "cli/output.h"

#include <cstdio>

#include "report/figures.h"

namespace trelmox::cli {

std::string jsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                quoted += escaped;
            } else {
                quoted += c;
            }
        }
    }
    return quoted + "\"";
}

std::string jsonNumber(double value) {
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

namespace {

template <typename T, typename F> std::string orNull(const std::optional<T>& value, F field) {
    return value ? jsonNumber(field(*value)) : "null";
}

class JsonPrinter : public OutcomePrinter {
public:
    explicit JsonPrinter(std::ostream& out) : out_(out) {}
    void print(const BlockOutcome& o) override {
        out_ << "{\"block\":" << jsonString(o.block)
             << ",\"contact\":" << (o.safety ? jsonString(contactName(o.safety->Contact)) : "null")
             << ",\"kc\":" << orNull(o.safety, [](const SafetyResult& s) { return s.SafetyFactor; })
             << ",\"volume\":" << orNull(o.geometry, [](const WedgeGeometry& g) { return g.Volume; })
             << ",\"height\":" << orNull(o.geometry, [](const WedgeGeometry& g) { return g.Height; })
             << ",\"plunge\":" << orNull(o.geometry, [](const WedgeGeometry& g) { return g.IntersectionPlunge; })
             << ",\"messages\":[";
        for (std::size_t i = 0; i < o.messages.size(); ++i) out_ << (i ? "," : "") << jsonString(o.messages[i]);
        out_ << "],\"error\":" << (o.error ? jsonString(*o.error) : "null") << "}\n";
    }

private:
    std::ostream& out_;
};

template <typename T, typename F> std::string orEmpty(const std::optional<T>& value, F field) {
    return value ? jsonNumber(field(*value)) : "";
}

class CsvPrinter : public OutcomePrinter {
public:
    explicit CsvPrinter(std::ostream& out) : out_(out) { out_ << "block,contact,kc,volume,height,plunge,messages,error\r\n"; }
    void print(const BlockOutcome& o) override {
        std::string messages;
        for (std::size_t i = 0; i < o.messages.size(); ++i) messages += (i ? "; " : "") + o.messages[i];
        out_ << csvField(o.block) << ',' << (o.safety ? contactName(o.safety->Contact) : "") << ','
             << orEmpty(o.safety, [](const SafetyResult& s) { return s.SafetyFactor; }) << ','
             << orEmpty(o.geometry, [](const WedgeGeometry& g) { return g.Volume; }) << ','
             << orEmpty(o.geometry, [](const WedgeGeometry& g) { return g.Height; }) << ','
             << orEmpty(o.geometry, [](const WedgeGeometry& g) { return g.IntersectionPlunge; }) << ','
             << csvField(messages) << ',' << csvField(o.error.value_or("")) << "\r\n";
    }

private:
    std::ostream& out_;
};

// The table shows the figures as the analysis window and the report do.
class TextPrinter : public OutcomePrinter {
public:
    explicit TextPrinter(std::ostream& out) : out_(out) {
        out_ << row({"块体", "接触情况", "安全系数Kc", "体积", "高度", "交线倾角"}) << '\n';
    }
    void print(const BlockOutcome& o) override {
        ++blocks_;
        if (o.error) ++failed_;
        FigureTexts figures{"-", "-", "-", "-"};
        if (o.geometry && o.safety) figures = figureTexts(*o.geometry, *o.safety);
        out_ << row({o.block, o.safety ? contactName(o.safety->Contact) : "-", figures.SafetyFactor, figures.Volume,
                     figures.Height, figures.Plunge})
             << '\n';
        for (const std::string& message : o.messages) out_ << "    " << message << '\n';
        if (o.error) out_ << "    错误: " << *o.error << '\n';
    }
    void finish() override {
        out_ << "\n共 " << blocks_ << " 个块体，分析完成 " << blocks_ - failed_ << " 个，失败 " << failed_ << " 个\n";
    }

private:
    static std::string row(const std::vector<std::string>& cells) { return tableRow(cells, {16, 18, 18, 14, 10, 10}); }
    std::ostream& out_;
    int blocks_ = 0, failed_ = 0;
};

} // namespace

std::unique_ptr<OutcomePrinter> makeOutcomePrinter(const std::string& format, std::ostream& out) {
    if (format == "json") return std::make_unique<JsonPrinter>(out);
    if (format == "csv") return std::make_unique<CsvPrinter>(out);
    return std::make_unique<TextPrinter>(out);
}

} // namespace trelmox::cli
