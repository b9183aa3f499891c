#include "ui/core_texts.h"

#include <QCoreApplication>

#include "model/block.h"

namespace trelmox::ui {

namespace {

// Listed for the translation tools: the engine's captions as it words them.
[[maybe_unused]] constexpr const char* Captions[] = {
    // planes
    QT_TRANSLATE_NOOP("CoreTexts", "第一切割面"),
    QT_TRANSLATE_NOOP("CoreTexts", "第二切割面"),
    QT_TRANSLATE_NOOP("CoreTexts", "坡顶面"),
    QT_TRANSLATE_NOOP("CoreTexts", "坡面"),
    // the probabilistic analysis' two methods
    QT_TRANSLATE_NOOP("CoreTexts", "Kc（楔块按坡顶面水平于坡高处归一化计算）"),
    QT_TRANSLATE_NOOP("CoreTexts", "Fs（实际楔块，矢量法，含张裂缝、荷载与支护）"),
};

} // namespace

QString coreText(const char* caption) { return QCoreApplication::translate("CoreTexts", caption); }

QString planeName(int role) { return coreText(PlaneNames[role]); }

} // namespace trelmox::ui
