#pragma once
// Texts from the files as the tool and the module show them: control
// characters and bytes that are not UTF-8 made visible, a very long field
// cut in the middle, file names made on a GBK system read as such.
#include <cstddef>
#include <filesystem>
#include <string>

namespace trelmox {

// A text as the tool prints it: control characters and bytes that are not
// UTF-8 made visible (visibleText), and a text of more than MaxShownChars
// characters cut in the middle with "…" (between words where a blank is
// near), so that a bad field of a megabyte neither floods the output nor
// hides the end of the message.
inline constexpr std::size_t MaxShownChars = 300;
std::string shownText(const std::string& text);
// A message as the tool prints it: each of its lines as shownText shows a
// text, so that a list of failures keeps one failure a line.
std::string shownMessage(const std::string& text);
// A file name's bytes as UTF-8 text: as they are when they are UTF-8, read
// as GB18030 when they are not (a name made on a GBK system), else with the
// bytes that fit neither made visible.
std::string nameText(const std::string& bytes);
// A path as the tool prints it, its bytes read as nameText reads them.
std::string shownPath(const std::filesystem::path& path);

} // namespace trelmox
