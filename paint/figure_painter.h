#pragma once
// Paints an engine figure with Qt: on screen, into a PNG image, an SVG file,
// a PDF page and the printer alike.
#include <QRectF>

#include "drawing/figure.h"

class QPainter;

namespace trelmox::paint {

// The figure's window as large as fits into `target`, centred.
void paintFigure(QPainter& painter, const Figure& figure, const QRectF& target);

} // namespace trelmox::paint
