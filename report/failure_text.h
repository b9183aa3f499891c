#pragma once
// Failures as the tool and the module word them.
#include <filesystem>
#include <string>

#include "model/error.h"

namespace trelmox {

// A failure's message as the tool prints it. The tool words the data's
// failures in Chinese, so a failed file operation gives the system's reason
// in Chinese (systemReason) where the windows keep its English wording
// ("File not found"); any other message is as it is.
std::string toolMessage(const Error& failure);
// A failure concerning `file`, as the tool prints it: the path, the line of
// the data file when the failure concerns one ("W1.txt 第9行: ..."), and
// the message (toolMessage).
std::string fileFailureText(const std::filesystem::path& file, const Error& failure);

} // namespace trelmox
