#pragma once
// The commands that open the picture windows, added to a window beside its
// own controls (none of which move), and the block they show: the confirmed
// planes, the parameter window's texts and the current block's name.
#include <QPoint>
#include <QRect>
#include <QSize>

#include "ui/views/viewed_block.h"

class QPushButton;
class QWidget;

namespace trelmox::ui {
class Workspace;
}

namespace trelmox::views {

class PictureWindows;

ViewedBlock workspaceBlock(const ui::Workspace& workspace);

// One button with a drop-down menu of the four pictures.
QPushButton* addPictureMenuButton(QWidget* window, PictureWindows& pictures, const QRect& geometry);

// One button per picture, the first at `topLeft`, each `step` below the last.
void addPictureButtons(QWidget* window, PictureWindows& pictures, QPoint topLeft, QSize size, int step);

} // namespace trelmox::views
