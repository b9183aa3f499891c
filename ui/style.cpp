#include "ui/style.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace trelmox::ui {

namespace {

QFont namedFont(const QStringList& families, int pixelSize) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    return font;
}

// Title bar and borders of a typical desktop frame.
constexpr QSize FrameExtent(8, 27);

} // namespace

QFont captionFont(int pixelSize) {
    return namedFont({QStringLiteral("隶书"), QStringLiteral("LiSu"), ChineseFallbackFamily}, pixelSize);
}

QFont dialogFont(int pixelSize) {
    return namedFont({QStringLiteral("MS Sans Serif"), ChineseFallbackFamily}, pixelSize);
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, colour);
    widget->setPalette(palette);
}

void placeWindow(QWidget* window, QPoint position, QSize outer) {
    window->resize(outer - FrameExtent);
    window->move(position);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, QPoint position, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->move(position);
    label->adjustSize();
    return label;
}

} // namespace trelmox::ui
