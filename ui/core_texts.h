#pragma once
// The windows' words for the engine's captions: plane names, the inputs of
// the probabilistic analyses, distributions, kinematic modes and contacts.
// The engine keeps them in Chinese, as the files it writes need them; the
// windows show them in the interface's language. A caption the catalogue
// does not know (a new one, or one the engine already gives in English)
// is shown as it comes.
#include <QString>

#include <string>

namespace trelmox::ui {

QString coreText(const char* caption);
QString coreText(const std::string& caption);

// "第一切割面", "第二切割面", "坡顶面", "坡面" by plane role.
QString planeName(int role);

} // namespace trelmox::ui
