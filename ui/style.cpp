#include "ui/style.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>

#include <QPalette>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <vector>

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

namespace {

std::vector<QPointer<QWidget>>& keptInView() {
    static std::vector<QPointer<QWidget>> widgets;
    return widgets;
}

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

// What a window at `place` would hide: anything kept in view weighs most,
// then the window it opens beside, then the others shown.
qint64 hiddenBy(const QRect& place, const QWidget* window, const QWidget* anchor) {
    qint64 cost = 0;
    for (const QPointer<QWidget>& kept : keptInView())
        if (kept && kept->isVisible() && kept->window() != window)
            cost += 1000 * overlap(place, QRect(kept->mapToGlobal(QPoint(0, 0)), kept->size()));
    cost += 4 * overlap(place, anchor->frameGeometry());
    for (const QWidget* other : QApplication::topLevelWidgets())
        if (other != window && other != anchor && other->isVisible() && other->isWindow())
            cost += overlap(place, other->frameGeometry());
    return cost;
}

} // namespace

void keepInView(QWidget* widget) { keptInView().emplace_back(widget); }

void placeBeside(QWidget* window, const QWidget* anchor) {
    if (window->isVisible()) return;
    const QScreen* screen = anchor->screen();
    if (!screen) return;
    const QRect free = screen->availableGeometry();
    const QRect beside = anchor->frameGeometry();
    const QSize outer = window->size() + FrameExtent;
    const auto clampX = [&](int x) {
        return std::clamp(x, free.left(), std::max(free.left(), free.right() + 1 - outer.width()));
    };
    const auto clampY = [&](int y) {
        return std::clamp(y, free.top(), std::max(free.top(), free.bottom() + 1 - outer.height()));
    };
    // Right of the anchor, left of it, then the screen's edges; level with
    // the anchor's top, then the screen's top and bottom. The first of the
    // least hidden wins.
    const int xs[] = {beside.right() + 1, beside.left() - outer.width(), free.left(), free.right() + 1 - outer.width()};
    const int ys[] = {beside.top(), free.top(), free.bottom() + 1 - outer.height()};
    QPoint best;
    qint64 least = -1;
    for (int x : xs)
        for (int y : ys) {
            const QRect place(QPoint(clampX(x), clampY(y)), outer);
            const qint64 cost = hiddenBy(place, window, anchor);
            if (least < 0 || cost < least) least = cost, best = place.topLeft();
        }
    window->move(best);
}

void placeBesideOpener(QWidget* window) {
    const QWidget* anchor = QApplication::activeWindow();
    if (!anchor || anchor == window)
        for (const QPointer<QWidget>& kept : keptInView())
            if (kept && kept->window()->isVisible() && kept->window() != window) {
                anchor = kept->window();
                break;
            }
    if (anchor && anchor != window) placeBeside(window, anchor);
}

void bringToFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

void focusForCorrection(QWidget* window, QLineEdit* box) {
    bringToFront(window);
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
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
