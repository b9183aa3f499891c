#include "ui/style.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <QPalette>
#include <QScreen>
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

// Hands the wheel of a box without focus to the box's parent: a table's
// viewport or a form, which scroll.
class WheelGuard final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* box = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Wheel || !box || box->hasFocus()) return false;
        if (QWidget* parent = box->parentWidget()) QCoreApplication::sendEvent(parent, event);
        return true;
    }
};

} // namespace

void fitToScreen(QWidget* window, QSize wanted) {
    const QScreen* screen = window->screen();
    if (!screen) return window->resize(wanted);
    window->resize(wanted.boundedTo(screen->availableGeometry().size() - FrameExtent));
}

void placeBeside(QWidget* window, const QWidget* anchor) {
    const QScreen* screen = anchor->screen();
    if (!screen) return;
    const QRect free = screen->availableGeometry();
    const QRect beside = anchor->frameGeometry();
    const QSize outer = window->size() + FrameExtent;
    int x = free.left();
    if (beside.right() + 1 + outer.width() <= free.right() + 1)
        x = beside.right() + 1;
    else if (beside.left() - outer.width() >= free.left())
        x = beside.left() - outer.width();
    const int y = std::clamp(beside.top(), free.top(), std::max(free.top(), free.bottom() + 1 - outer.height()));
    window->move(x, y);
}

void takeWheelOnlyWhenFocused(QWidget* box) {
    static WheelGuard* const guard = new WheelGuard; // lives as long as the program
    box->setFocusPolicy(Qt::StrongFocus);
    box->installEventFilter(guard);
}

QFont captionFont(int pixelSize) {
    return namedFont({QStringLiteral("隶书"), QStringLiteral("LiSu"), ChineseFallbackFamily}, pixelSize);
}

QFont dialogFont(int pixelSize) {
    return namedFont({QStringLiteral("MS Sans Serif"), ChineseFallbackFamily}, pixelSize);
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) palette.setColor(role, colour);
    widget->setPalette(palette);
}

void placeWindow(QWidget* window, QPoint position, QSize outer) {
    window->resize(outer - FrameExtent);
    window->move(position);
}

void widenToText(QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    QStyle* style = button->style();
    const int needed = button->fontMetrics().horizontalAdvance(button->text()) +
                       style->pixelMetric(QStyle::PM_ButtonMargin, &option, button) +
                       2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
    if (needed > button->width()) button->resize(needed, button->height());
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
