#pragma once
// ASCII DXF wire-frame of the wedge: an ENTITIES section with the six edges
// as LINE entities (the line of intersection 1-2 in magenta) and the corner
// numbers 1-4 as TEXT entities of height 10. Always 163 lines, CR LF.
#include <filesystem>
#include <string>

#include "model/block.h"

namespace trelmox {

std::string dxfText(const BlockVertices& vertices);
// blockName + "block.dxf" (no separator: block W1 -> W1block.dxf).
std::string dxfFileName(const std::string& blockName);
// reportFolder / dxfFileName(blockName), replaced atomically.
void writeDxf(const std::filesystem::path& reportFolder, const std::string& blockName, const BlockVertices& vertices);

} // namespace trelmox
