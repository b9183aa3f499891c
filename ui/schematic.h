#pragma once
// The plane entry window's schematic: an inclined plane cutting a
// horizontal reference plane, with the strike, the strike angle from north,
// the dip direction and the dip-direction angle, each labelled.
#include <QPixmap>
#include <QRect>

#include <array>

namespace trelmox::ui {

struct Schematic {
    QPixmap picture;
    // Where the labels stand, in the order "走向角", "倾向角", "倾向", "走向".
    std::array<QRect, 4> labelRects;
};

Schematic drawSchematic(QSize size);

} // namespace trelmox::ui
