#pragma once
// The windows' words for the engine's fixed captions that stay Chinese for
// the files it writes: the planes' names and the probabilistic run's two
// methods. The windows show them in the interface's language; a caption
// the catalogue does not know is shown as it comes.
#include <QString>

namespace trelmox::ui {

QString coreText(const char* caption);

// "第一切割面", "第二切割面", "坡顶面", "坡面" by plane role.
QString planeName(int role);

} // namespace trelmox::ui
