#pragma once
// The sectors of a slope that turns around a cut or a pit: each a face of
// its own (dip and dip direction), optionally with its height and upper
// slope, read from a small CSV file with a header row:
//   name,dip,dipdir[,height][,top_dip][,top_dipdir]
// in any column order. Fields are separated by ",", "，", ";" or tabs;
// blanks around a field and one pair of double quotes are dropped; blank
// lines and lines starting with "#" are skipped. A face dips 0..180 degrees
// (beyond 90 it overhangs); the upper slope is horizontal when not given,
// and dips towards the face's dip direction when only its dip is given.
// GB18030 and UTF-8 files are both read.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "analysis/joints/combinations.h"
#include "analysis/joints/kinematics.h"
#include "model/error.h"

namespace trelmox {

struct SlopeSector {
    std::string Name;
    double Dip = 0, DipDirection = 0;
    std::optional<double> Height;
    double TopDip = 0, TopDipDirection = 0;
    int Line = 0; // of the file, from 1
};

// Every bad line is listed in one Error ("分区文件第 N 行：<reason>"), as
// for measurement files; a file without a sector is an Error too.
std::vector<SlopeSector> parseSectors(const std::string& utf8Text);
// A sectors file lists tens of faces; anything beyond this is no such file.
inline constexpr std::size_t MaxSectorFileBytes = 1 << 20;
std::vector<SlopeSector> readSectorFile(const std::filesystem::path& path);

KinematicSlope kinematicSlope(const SlopeSector& sector, double frictionAngle, double lateralLimit);

// The upper slope's dip in the face's dip direction (its apparent dip
// there): what a section at right angles to the face shows.
double topDipAcrossFace(const SlopeSector& sector);

// The block with the sector's face in place of its own, in both notations
// (its dip direction taken into 0..360); the rest of the block stays.
// Throws a refused Error for an overhanging face, which no slope of the
// wedge analysis has.
SavedBlock sectorBlock(const SavedBlock& block, const SlopeSector& sector);

// The critical plane or pair of a sector with its factor. The factor is that
// of the dry block with friction alone (c = 0: the plane's own f where the
// file gives one, else tan of the friction angle), which needs neither the
// rock's unit weight nor the height: for a plane f / tan(dip), for a pair
// the full factor Fs of the real wedge from the combination analysis with
// the sector as slope (its height, 10 when not given, and upper slope).
struct CriticalChoice {
    std::size_t First = 0, Second = 0; // indices into the candidates; Second only for a pair
    bool Pair = false;
    double Factor = 0;
};
struct SectorFactors {
    std::optional<CriticalChoice> Planar, Wedge; // none: nothing critical, or no factor
    // Why the wedges were not worked out at all: an overhanging face, too
    // many planes without sets.
    std::string WedgeNote;
    // Wedges that can slide but none with a factor: the failure of the
    // first (the real wedge refused, or its analysis failed), with its kind.
    std::optional<Error> WedgeFailure;
};
// The candidates are the sets' mean planes, or every plane when there are
// no sets; pairs of more than MaxFactorPlanes single planes are not worked
// out (tens of thousands of full analyses per sector), and the note says so.
inline constexpr std::size_t MaxFactorPlanes = 150;
SectorFactors sectorFactors(const SlopeSector& sector, const std::vector<CandidatePlane>& candidates,
                            double frictionAngle, double lateralLimit);

} // namespace trelmox
