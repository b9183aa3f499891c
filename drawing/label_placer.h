#pragma once
// Places a figure's labels where they can be read: each near the point it
// names, but clear of the labels already placed, of the lines drawn (edges,
// arrows) and of the points marked. A label that finds no clear place within
// reach goes where it touches the fewest of them.
#include <vector>

#include "drawing/figure.h"

namespace trelmox {

// Labels are boxes centred on their points (labelWidth in
// drawing/stereonet.h gives a text's width).
class LabelPlacer {
public:
    void avoidSegment(Point2 from, Point2 to) { segments_.push_back({from, to}); }
    void avoidPoint(Point2 at, double radius) { points_.push_back({at, radius}); }
    // The centre of a `width` x `height` label for `anchor`, tried first at
    // `distance` in `direction` (any length, zero for "anywhere"), then
    // turned about the anchor and further out; the label is kept in mind.
    Point2 place(Point2 anchor, Point2 direction, double distance, double width, double height);

private:
    struct Box {
        Point2 centre;
        double halfWidth, halfHeight;
    };
    struct Segment {
        Point2 from, to;
    };
    struct Mark {
        Point2 at;
        double radius;
    };
    int clashes(const Box& box) const;

    std::vector<Box> placed_;
    std::vector<Segment> segments_;
    std::vector<Mark> points_;
};

} // namespace trelmox
