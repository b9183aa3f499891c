#include "cli/destination.h"

#include <iostream>
#include <unistd.h>

#include "model/error.h"
#include "model/files.h"
#include "model/language.h"
#include "model/output_guard.h"
#include "model/shown_text.h"

namespace trelmox::cli {

bool isTerminalOutput(const std::ostream& out) { return &out == &std::cout && ::isatty(STDOUT_FILENO) == 1; }

ResultDestination::ResultDestination(const ParsedArgs& parsed, const std::string& format,
                                     const std::vector<std::string>& inputs, std::ostream& out)
    : inputs_(inputs), out_(out) {
    if (const auto file = parsed.last("output")) {
        if (file->empty()) throw UsageError("--output needs a file name");
        file_ = *file;
    } else if (format == "xlsx" && isTerminalOutput(out)) {
        throw UsageError("an xlsx workbook is not for a terminal: give --output FILE or redirect standard output");
    }
}

std::ostream& ResultDestination::stream() { return file_ ? buffer_ : out_; }

void ResultDestination::check() const {
    if (file_) OutputGuard(inputs_).check(*file_, inputs_.size());
}

void ResultDestination::finish() {
    if (!file_) return;
    try {
        // Looked at again: an input may have taken the name meanwhile.
        check();
        writeFileAtomically(*file_, buffer_.str());
    } catch (const Error& failure) {
        throw failure
            .prefixed(messageLanguage() == Language::English ? "cannot write \"" + shownPath(*file_) + "\": "
                                                             : "无法写入“" + shownPath(*file_) + "”：")
            .withPath(*file_);
    }
}

} // namespace trelmox::cli
