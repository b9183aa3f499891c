#pragma once
// A file of measured discontinuities: one plane a line, as dip angle and dip
// direction ("45,120") or in the quadrant notation of the block data file
// ("N,30,E,S,E,45"), each optionally followed by a set label and a weight.
// A file with a header may also give each plane's own cohesion c and
// friction coefficient f (columns c 黏聚力 and f 摩擦系数; an empty cell
// leaves the value to the block the plane is analysed in).
//
// Fields are separated by ",", "，", ";" or tabs, or, in a line with none of
// these, by blanks; blanks around a field and one pair of double quotes
// around it are dropped. Blank lines and lines starting with "#" are
// skipped. The first line may be a header naming the columns in any order
// (dip 倾角, dipdir 倾向, quadrant 象限产状 for the six quadrant fields,
// set 组, weight 权重, c 黏聚力, f 摩擦系数), and the line under a header may
// give their units ("°", "kPa", empty; skipped); without one, every line is read as
//   dip,dipdir[,set[,weight]]   or   N,a,E|W,N|S,E|W,dip[,set[,weight]]
// told apart by its first field. Numbers are read as strictly as in the
// block data file. GB18030 and UTF-8 files are both read (detected), and so
// is the first sheet of an Excel workbook (.xlsx): its rows are the lines,
// its cells the fields (at most 256 bytes each), a formula cell its value
// as last worked out, and a failure names the sheet's row.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/block.h"
#include "model/textcodec.h"

namespace trelmox {

struct Measurement {
    TPlaneAttitude Plane; // dip 0..90, dip direction 0..<360, degrees
    std::string Set;      // the row's set label; empty when it gives none
    double Weight = 1;    // > 0; a weight w counts as w measurements
    int Line = 0;         // line of the file it came from, from 1
    // The plane's own strength (c >= 0, f >= 0 the friction coefficient);
    // absent where the file gives none.
    std::optional<double> Cohesion{}, Friction{};
};

struct MeasurementSummary {
    std::size_t DipRows = 0, QuadrantRows = 0; // planes read in each notation
    bool Header = false, Weighted = false;     // a header line; any weight other than 1
    bool Strengths = false;                    // any plane with its own c or f
    TextEncoding Encoding = TextEncoding::Utf8;
    bool Workbook = false; // read from the first sheet of an Excel workbook
    // The labels in order of first appearance, with their number of planes.
    std::vector<std::pair<std::string, std::size_t>> Sets;
    std::size_t Unlabelled = 0;
};

struct MeasurementFile {
    std::vector<Measurement> Planes;
    MeasurementSummary Summary;
};

// Parses a file's text (UTF-8). Every bad line is listed in one Error, each
// as "测量文件第 N 行：<reason>" (the first 10, then how many more), so
// that one pass over the file finds them all; a file without a plane is an
// Error too.
MeasurementFile parseMeasurements(const std::string& utf8Text);

// A measurement file is a list typed or exported by hand: a megabyte holds
// some hundred thousand planes. Anything larger is refused before it is read.
inline constexpr std::size_t MaxMeasurementFileBytes = 1 << 20;

// Parses a file's bytes, UTF-8 or GB18030 (detected), or an Excel workbook
// (Summary.Workbook); Summary.Encoding says how text was decoded. A file whose encoding changes part way (UTF-8
// lines, then GBK ones) is refused naming the first line that does not
// decode.
MeasurementFile readMeasurements(const std::string& bytes);
// Reads and parses the file, a regular file of at most MaxMeasurementFileBytes.
MeasurementFile readMeasurementFile(const std::filesystem::path& path);

// One line for the user: how many planes in which notation, the sets and
// their sizes, the encoding.
std::string measurementSummaryText(const MeasurementSummary& summary);

} // namespace trelmox
