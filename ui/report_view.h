#pragma once
// The 30-line report as the analysis window's viewer shows it. The file
// stays Chinese whatever the interface speaks (other programs and the design
// office read it); in English the viewer shows the same lines with English
// labels, the figures and the user's own texts exactly as the file holds
// them.
#include <QString>

namespace trelmox::ui {

// `fileText`: the report file's text with "\n" line ends.
QString reportForViewer(const QString& fileText);

} // namespace trelmox::ui
