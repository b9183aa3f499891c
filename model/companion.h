#pragma once
// The companion file of a block: its loads and support (model/loads.h) as
// UTF-8 JSON beside its data file, dataFolder / (name + ".json"). The block
// scan lists only ".txt" files, so it never shows up as a block. A block
// that never had loads has no companion file, and its other files stay
// exactly as they were.
//
//   {"version": 1, "water": "none" | "block" | "saturated",
//    "crack": null | {"dip", "dip_direction", "distance", "water_depth"},
//    "seismic": {"k", "direction": null | {"trend", "plunge"}},
//    "forces": [{"magnitude", "trend", "plunge"}],
//    "pressures": {"face", "top"},
//    "bolts": [{"force", "trend", "plunge", "mode": "active" | "passive"}],
//    "design": {"required_factor",
//               "preset": null | {"slope": "permanent" | "temporary", "grade": 1 | 2 | 3,
//                                 "condition": "ordinary" | "seismic"},
//               "bolt": null | {"trend", "plunge", "mode"}},
//    "size": {"face_trace": [plane 1, plane 2], "top_trace": [...], "persistence": [...],
//             "persistence_measure": "along_intersection" | "largest_extent",
//             "slope_length", "bench": null | {"height", "width", "catch_width"},
//             "minimum": {"volume", "weight", "height"}},
//    "strength": {"plane1": S, "plane2": S}}   (optional, as either plane)
//   S: {"model": "mohr_coulomb"} (the data file's c and f)
//    | {"model": "barton_bandis", "jrc", "jcs" (kPa), "phi_r" (degrees)}
//    | {"model": "power_curve", "a", "b", "c", "d"}
//    | {"model": "hoek_brown", "sigci" (kPa), "mb", "s", "a"}
//   each with an optional "waviness" (degrees).
//
// Every key is required, so that a misspelt one is reported, not ignored -
// except "size", which is written only when some size limit is set (inside
// it each number may be null: no such limit), and "strength", its planes
// and "waviness": a file without "strength" reads as it always did, and one
// is written only when a plane has a model other than Mohr-Coulomb or a
// waviness.
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "model/load_fields.h"
#include "model/loads.h"

namespace trelmox {

// The file's text: two-space indentation, CR LF line ends.
std::string companionText(const WedgeLoads& loads);
// Throws Error("荷载文件“<fileName>”...") naming what is wrong: not JSON
// (with line and column), a missing, unknown or mistyped key, an unknown
// version, or a value out of range (validateLoads).
WedgeLoads parseCompanion(const std::string& text, const std::string& fileName);
// The same with the numbers of `fields` (loadFields() above) and the
// directions of `directions`: `loads`, a new object of the type their Get
// and Set take, receives them.
std::string companionText(const WedgeLoads& loads, std::span<const LoadField> fields,
                          std::span<const LoadDirection> directions = loadDirections());
void parseCompanion(const std::string& text, const std::string& fileName, WedgeLoads& loads,
                    std::span<const LoadField> fields, std::span<const LoadDirection> directions = loadDirections());

std::filesystem::path companionPath(const std::filesystem::path& dataFolder, const std::string& blockName);
// Absent when the block has no companion file.
std::optional<WedgeLoads> readCompanionFile(const std::filesystem::path& dataFolder, const std::string& blockName);
// The block's loads: its companion file's, else the defaults.
WedgeLoads blockLoads(const std::filesystem::path& dataFolder, const std::string& blockName);
// Writes the companion file (atomically) - unless the loads are the
// defaults and the block has none, so that its folder stays as it was.
// Returns whether it wrote the file.
bool saveCompanionFile(const std::filesystem::path& dataFolder, const std::string& blockName, const WedgeLoads& loads);

} // namespace trelmox
