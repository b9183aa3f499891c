#pragma once
// Fonts, colours and fixed geometry shared by the windows. The windows ask
// for their historical fonts by name; where those are not installed (they
// never are on Linux) Qt falls back to the next family, the installed
// Chinese font.
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <QString>

class QWidget;
class QLabel;
class QPushButton;
class QLineEdit;

namespace trelmox::ui {

inline const char* const ChineseFallbackFamily = "WenQuanYi Micro Hei";

// The calligraphic caption font ("隶书"), or the fallback.
QFont captionFont(int pixelSize);
// The dialog font ("MS Sans Serif"), or the fallback.
QFont dialogFont(int pixelSize);

inline const QColor Teal(0x00, 0x80, 0x80);
inline const QColor Aqua(0x00, 0xFF, 0xFF);
inline const QColor Fuchsia(0xFF, 0x00, 0xFF);

// Sets the colour of a widget's own text (labels, buttons, edits).
void setTextColour(QWidget* widget, const QColor& colour);

// Places a top-level window by its outer frame: `outer` includes the title
// bar and borders, as window sizes are usually quoted.
void placeWindow(QWidget* window, QPoint position, QSize outer);

// A label at `position` that grows to its text, so no caption is clipped
// whatever font the fallback brings.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, QPoint position, const QFont& font);

// Widens a button placed at a fixed size to its caption where the caption
// is longer (an English one); a caption that fits leaves it as it is.
void widenToText(QPushButton* button);

// Resizes a window to `wanted`, or to what the screen's free area leaves
// (less the frame), so that a window never opens larger than the screen.
void fitToScreen(QWidget* window, QSize wanted);

// Widgets no window the program opens may cover (the main window's
// commands), as long as they are shown.
void keepInView(QWidget* widget);

// Moves a window that is about to be shown beside `anchor`, within the
// screen's free area: to its right or left where the screen has room, else
// where it covers nothing kept in view and as little as it can of `anchor`
// and of the other windows shown, so that windows do not open on top of one
// another. A window already shown stays where the user has it.
void placeBeside(QWidget* window, const QWidget* anchor);
// The same beside the window whose command opens it: the active window,
// else the main window (the one that keeps widgets in view).
void placeBesideOpener(QWidget* window);

// Shows a window above the others and makes it the active one, so that a
// command that opens it (or points at one of its boxes) lands where the user
// looks, even when the window was hidden or behind another.
void bringToFront(QWidget* window);
// Brings the window to the front and puts the cursor in `box` with its text
// selected: the user is sent there to correct a value, and what they type
// replaces the bad text instead of adding to it.
void focusForCorrection(QWidget* window, QLineEdit* box);

// A box that changes its value by the mouse wheel (a combo box, a spin box)
// takes the wheel only once it has the focus; before, the wheel scrolls what
// the box lies in, so scrolling a table or form never changes a value.
void takeWheelOnlyWhenFocused(QWidget* box);

// Height of a status bar at a window's bottom edge.
inline constexpr int StatusBarHeight = 20;

} // namespace trelmox::ui
