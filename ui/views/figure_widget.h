#pragma once
// A widget that shows one engine figure, scaled to fit and centred.
#include <QWidget>

#include "drawing/figure.h"

namespace trelmox::views {

class FigureWidget : public QWidget {
    Q_OBJECT
public:
    explicit FigureWidget(QWidget* parent = nullptr);
    void setFigure(Figure figure);
    const Figure& figure() const { return figure_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Figure figure_;
};

} // namespace trelmox::views
