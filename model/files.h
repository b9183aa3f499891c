#pragma once
// File access shared by every writer and reader. Failures carry the message
// the user sees: "File not found", "File access denied", "Disk full",
// otherwise "I/O error <errno>", with the errno value beside it
// (Error::systemError) for callers that explain more.
#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace trelmox {

// The user's text for a failed file operation with this errno value.
std::string fileErrorMessage(int errorNumber);
// What the system says about a failed file operation, in Chinese words
// for the common cases.
std::string systemReason(int errorNumber);

// Replaces `path` with `bytes` without ever destroying the old file before
// the new one is complete: the bytes go to a temporary file in the same
// folder, which then takes the file's place in one step. On failure the old
// file is untouched and no temporary is left behind, also when the process
// is stopped by SIGINT, SIGTERM, SIGHUP or SIGQUIT meanwhile. The new file
// keeps the old one's permissions, and its owner and group as far as the
// process may set them.
//
// The temporary has no name where the file system allows (O_TMPFILE) and
// gets one only for the instant of the replacement, with those signals held
// back. Elsewhere it has a short name from the start, which a handler of
// those signals removes; the handler is installed only over the default
// action, never over a handler the program set itself.
void writeFileAtomically(const std::filesystem::path& path, const std::string& bytes);

// For tests: write through named temporaries even where the file system
// could do without, so that both ways are exercised on one machine.
void useNamedTemporaryFiles(bool named);

// The whole file as bytes. Only a regular file is read: a pipe would block
// and a device may never end. A folder gives the file layer's error, as
// reading it would; a file larger than maxBytes is refused.
std::string readFileBytes(const std::filesystem::path& path,
                          std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

// A block name names files inside the data and report folders; one that
// would address another folder ("/" or "\" in it, or "." or ".."), or holds
// a control character (a NUL among them), is refused before anything is
// written. The empty name is allowed (files ".txt" and "block.dxf").
void checkBlockName(const std::string& blockName);

// The lines each followed by CR LF, as every text file of the program ends them.
std::string crlfLines(const std::vector<std::string>& lines);

// A text file of the program: UTF-8 text (lines already ended by CR LF)
// encoded as GB18030 and written with writeFileAtomically.
void writeTextFile(const std::filesystem::path& path, const std::string& utf8Text);
// A text file of the program as UTF-8 (fileBytesToUtf8: GB18030, or UTF-8
// after a UTF-8 byte-order mark); bytes that do not decode give a clear
// Error naming the file.
std::string readTextFile(const std::filesystem::path& path,
                         std::size_t maxBytes = std::numeric_limits<std::size_t>::max());

} // namespace trelmox
