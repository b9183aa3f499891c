#pragma once
// File access shared by every writer and reader. Failures carry the message
// the user sees: "File not found", "File access denied", "Disk full",
// otherwise "I/O error <errno>".
#include <filesystem>
#include <string>
#include <vector>

namespace trelmox {

// The user's text for a failed file operation with this errno value.
std::string fileErrorMessage(int errorNumber);

// Replaces `path` with `bytes` without ever destroying the old file before
// the new one is complete: writes a temporary file in the same folder, then
// renames it over the old one. On failure the old file is untouched and no
// temporary is left behind.
void writeFileAtomically(const std::filesystem::path& path, const std::string& bytes);

// The whole file as bytes.
std::string readFileBytes(const std::filesystem::path& path);

// A block name names files inside the data and report folders; one that
// would address another folder ("/" or "\" in it, or "." or "..") is refused
// before anything is written. The empty name is allowed (files ".txt" and
// "block.dxf").
void checkBlockName(const std::string& blockName);

// The lines each followed by CR LF, as every text file of the program ends them.
std::string crlfLines(const std::vector<std::string>& lines);

// A text file of the program: UTF-8 text (lines already ended by CR LF)
// encoded as GB18030 and written with writeFileAtomically.
void writeTextFile(const std::filesystem::path& path, const std::string& utf8Text);
// A text file of the program decoded from GB18030 to UTF-8; bytes that are
// not GB18030 give a clear Error naming the file.
std::string readTextFile(const std::filesystem::path& path);

} // namespace trelmox
