#pragma once
// Saving a picture as the user sees it: PNG as pixels, SVG as vectors.
#include <QString>

class QWidget;

namespace trelmox::views {

// Writes what `picture` shows to `path`: SVG for a ".svg" suffix (any case),
// PNG otherwise. Throws Error("Cannot create file \"<path>\".") when the
// file cannot be written.
void savePicture(QWidget* picture, const QString& path);

// Asks for a PNG or SVG file name, starting at `suggestedPath`, and saves;
// a failure goes to the error box.
void askAndSavePicture(QWidget* parent, QWidget* picture, const QString& suggestedPath);

} // namespace trelmox::views
