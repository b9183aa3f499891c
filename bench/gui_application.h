#pragma once
// Fonts and the painter need a Gui application; offscreen, it needs no
// display. Made on the first call and kept for the process's life.
#include <QGuiApplication>

namespace trelmox {

inline void ensureGuiApplication() {
    static int argc = 1;
    static char name[] = "trelmox_bench";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);
}

} // namespace trelmox
