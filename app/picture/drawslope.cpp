// Draws the main window's picture, a benched rock cut reinforced with rock
// bolts, and saves it as a JPEG. Run by the `slope-picture` target; its
// output is committed as app/slope.jpg. Shapes only, no text, and a fixed
// random seed, so the picture is the same on every run.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <cstdio>

namespace {

constexpr int Width = 460, Height = 297;

// The cut is drawn as three benches; each face runs from its toe line up to
// its crest line, both slightly inclined to suggest perspective.
struct Bench {
    QPointF toeLeft, toeRight, crestLeft, crestRight;
};

const Bench Benches[] = {
    {{0, 246}, {460, 228}, {28, 176}, {460, 160}},
    {{34, 170}, {460, 154}, {62, 106}, {460, 92}},
    {{68, 100}, {460, 86}, {96, 44}, {460, 32}},
};

QPointF lerp(QPointF a, QPointF b, double t) { return a + (b - a) * t; }

void drawSky(QPainter& p) {
    QLinearGradient sky(0, 0, 0, Height);
    sky.setColorAt(0, QColor(0x6C, 0xA6, 0xD9));
    sky.setColorAt(1, QColor(0xDC, 0xEC, 0xF7));
    p.fillRect(0, 0, Width, Height, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8F, 0xA8, 0x8C));
    QPainterPath hills;
    hills.moveTo(0, 150);
    hills.cubicTo(40, 110, 70, 130, 100, 120);
    hills.lineTo(100, 297);
    hills.lineTo(0, 297);
    p.drawPath(hills);
}

void drawFace(QPainter& p, const Bench& b, QRandomGenerator& random) {
    QPolygonF face{b.toeLeft, b.toeRight, b.crestRight, b.crestLeft};
    QLinearGradient rock(b.crestLeft, b.toeLeft);
    rock.setColorAt(0, QColor(0xB0, 0x9A, 0x80));
    rock.setColorAt(1, QColor(0x7E, 0x6C, 0x5A));
    p.setPen(QPen(QColor(0x4A, 0x3E, 0x32), 1));
    p.setBrush(rock);
    p.drawPolygon(face);
    // Joints: two sets of dark traces that cut the face into wedges.
    p.save();
    QPainterPath clip;
    clip.addPolygon(face);
    p.setClipPath(clip);
    p.setPen(QPen(QColor(0x3C, 0x30, 0x26, 0xB0), 1.2));
    for (int i = 0; i < 14; ++i) {
        const double x = random.bounded(460.0);
        const double slant = i % 2 ? 0.6 : -0.5;
        p.drawLine(QPointF(x, b.crestRight.y() - 10), QPointF(x + slant * 90, b.toeRight.y() + 20));
    }
    p.restore();
    // Bolt heads: square plates in staggered rows, each with its nut.
    for (int row = 1; row <= 2; ++row) {
        const double t = row / 3.0;
        const QPointF left = lerp(b.toeLeft, b.crestLeft, t), right = lerp(b.toeRight, b.crestRight, t);
        for (double s = 0.06 + (row % 2) * 0.04; s < 0.98; s += 0.08) {
            const QPointF at = lerp(left, right, s);
            p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
            p.setBrush(QColor(0xC8, 0xC8, 0xC8));
            p.drawRect(QRectF(at - QPointF(3, 3), QSizeF(6, 6)));
            p.setBrush(QColor(0x50, 0x50, 0x50));
            p.drawEllipse(at, 1.3, 1.3);
        }
    }
}

void drawBerm(QPainter& p, const Bench& lower, const Bench& upper) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7F, 0x9B, 0x4E));
    p.drawPolygon(QPolygonF{lower.crestLeft, lower.crestRight, upper.toeRight, upper.toeLeft});
}

void drawCrest(QPainter& p, QRandomGenerator& random) {
    const Bench& top = Benches[2];
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5E, 0x84, 0x3A));
    p.drawPolygon(QPolygonF{top.crestLeft, top.crestRight, {460, 0}, {120, 0}, {96, 30}});
    for (int i = 0; i < 16; ++i) {
        const QPointF at(110 + random.bounded(350.0), 8 + random.bounded(22.0));
        p.setBrush(QColor(0x3E, 0x66, 0x2A + random.bounded(30)));
        p.drawEllipse(at, 9.0, 7.0);
    }
}

void drawRoad(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5A, 0x5A, 0x5E));
    p.drawPolygon(QPolygonF{{0, 252}, {460, 234}, {460, 297}, {0, 297}});
    p.setPen(QPen(QColor(0xF0, 0xE0, 0x70), 2, Qt::DashLine));
    p.drawLine(QPointF(0, 280), QPointF(460, 262));
    // The ditch at the toe.
    p.setPen(QPen(QColor(0x9A, 0x9A, 0x9A), 3));
    p.drawLine(Benches[0].toeLeft + QPointF(0, 3), Benches[0].toeRight + QPointF(0, 3));
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawslope OUTPUT.jpg\n");
        return 2;
    }
    QImage image(Width, Height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRandomGenerator random(20240611);
    drawSky(painter);
    drawRoad(painter);
    for (const Bench& bench : Benches) drawFace(painter, bench, random);
    drawBerm(painter, Benches[0], Benches[1]);
    drawBerm(painter, Benches[1], Benches[2]);
    drawCrest(painter, random);
    painter.end();
    return image.save(QString::fromLocal8Bit(argv[1]), "JPG", 88) ? 0 : 1;
}
