#pragma once
// Paints an engine figure with Qt: on screen, into a PNG image and into
// an SVG file alike.
#include <QRectF>

#include "drawing/figure.h"

class QPainter;

namespace trelmox::views {

// The figure's window as large as fits into `target`, centred.
void paintFigure(QPainter& painter, const Figure& figure, const QRectF& target);

} // namespace trelmox::views
