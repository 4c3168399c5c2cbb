// The fast marker and line drawing must give the pixels of plain QPainter drawing.

#include <QImage>
#include <QPainter>
#include <QTest>
#include <random>
#include <vector>

#include "chart/view/axis_mapping.h"
#include "chart/view/line_rasteriser.h"
#include "chart/view/marker_blitter.h"
#include "chart/view/pixel_canvas.h"

using namespace morvik::chart;

namespace {

constexpr int kWidth = 120, kHeight = 100;
const QRect kPlot(QPoint(15, 10), QPoint(100, 85));

QImage WhiteImage() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

PixelCanvas CanvasOf(QImage& image) {
    PixelCanvas c;
    c.bits = reinterpret_cast<std::uint32_t*>(image.bits());
    c.stride = image.bytesPerLine() / 4;
    c.left = kPlot.left();
    c.top = kPlot.top();
    c.right = kPlot.right();
    c.bottom = kPlot.bottom();
    return c;
}

// Values equal pixel positions: X runs right, Y runs down from row 0.
AxisMapping IdentityX() {
    return AxisMapping(0, kWidth - 1, 0, kWidth - 1);
}
AxisMapping IdentityY() {
    return AxisMapping(0, kHeight - 1, 0, kHeight - 1);
}

// The plot rectangle of a drawing whose origin lies at offset, on a white image.
QImage PlotOnWhite(const QImage& drawing, QPoint offset) {
    QImage image = WhiteImage();
    QPainter painter(&image);
    painter.drawImage(kPlot.topLeft(), drawing, kPlot.translated(offset));
    return image;
}

QString FirstDifference(const QImage& a, const QImage& b) {
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("pixel (%1, %2): %3 vs %4")
                    .arg(x)
                    .arg(y)
                    .arg(a.pixel(x, y), 0, 16)
                    .arg(b.pixel(x, y), 0, 16);
    return {};
}

}  // namespace

class ChartDrawingTest : public QObject {
    Q_OBJECT
  private slots:
    void markersEqualQPainterRectangles_data();
    void markersEqualQPainterRectangles();
    void linesEqualQPainterLines();
    void farAndInvalidPositionsAreSkippedSafely();
};

void ChartDrawingTest::markersEqualQPainterRectangles_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("count");
    // Few points are drawn one by one; many take the filter that drops covered duplicates.
    QTest::newRow("size 1, few") << 1 << 200;
    QTest::newRow("size 2, few") << 2 << 300;
    QTest::newRow("size 4, few") << 4 << 300;
    QTest::newRow("size 9, few") << 9 << 50;
    QTest::newRow("size 2, many") << 2 << 20000;
    QTest::newRow("size 4, many") << 4 << 20000;
    QTest::newRow("size 7, many") << 7 << 5000;
}

void ChartDrawingTest::markersEqualQPainterRectangles() {
    QFETCH(int, size);
    QFETCH(int, count);
    std::mt19937 rng(static_cast<unsigned>(size * 1000 + count));
    // Positions reach beyond the plot on every side, fractions exercise the rounding.
    std::uniform_real_distribution<double> px(-5, kWidth + 5), py(-5, kHeight + 5);
    std::vector<double> xs, ys;
    for (int i = 0; i < count; ++i) {
        xs.push_back(px(rng));
        ys.push_back(py(rng));
    }
    // Two series in turn, as Series1 and Series3 are drawn, so overlap order shows.
    const MarkerStyle styles[2] = {{size, qRgb(0, 128, 255), qRgb(0, 0, 0)},
                                   {size, qRgb(0, 255, 0), qRgb(0, 0, 0)}};
    const std::size_t half = xs.size() / 2;
    const std::span<const double> xsAll(xs), ysAll(ys);

    QImage fast = WhiteImage();
    MarkerScratch scratch;
    const PixelCanvas canvas = CanvasOf(fast);
    DrawMarkers(canvas, IdentityX(), IdentityY(), xsAll.first(half), ysAll.first(half), styles[0],
                scratch);
    DrawMarkers(canvas, IdentityX(), IdentityY(), xsAll.subspan(half), ysAll.subspan(half),
                styles[1], scratch);

    // QPainter draws on a larger image, so no marker reaches the device edge (where its
    // stroker drops corner pixels); the plot rectangle of that drawing is the reference.
    constexpr int kMargin = 32;
    QImage large(kWidth + 2 * kMargin, kHeight + 2 * kMargin, QImage::Format_RGB32);
    large.fill(Qt::white);
    QPainter painter(&large);
    painter.translate(kMargin, kMargin);
    painter.setPen(QPen(QColor(0, 0, 0), 1));
    for (std::size_t i = 0; i < xs.size(); ++i) {
        painter.setBrush(QColor(styles[i < half ? 0 : 1].fill));
        const int cx = RoundPixel(xs[i]), cy = RoundPixel(ys[i]);
        painter.drawRect(QRect(cx - size, cy - size, 2 * size, 2 * size));
    }
    painter.end();
    const QImage reference = PlotOnWhite(large, QPoint(kMargin, kMargin));
    QCOMPARE(FirstDifference(fast, reference), QString());
}

void ChartDrawingTest::linesEqualQPainterLines() {
    std::mt19937 rng(11);
    // End points stay inside the image, so QPainter rasterises the whole line as given; only
    // the plot rectangle is compared, where the fast lines are clipped.
    std::uniform_int_distribution<int> px(0, kWidth - 1), py(0, kHeight - 1);
    const QRgb orange = qRgb(255, 128, 0);
    for (int round = 0; round < 200; ++round) {
        QImage fast = WhiteImage();
        QImage reference = WhiteImage();
        const PixelCanvas canvas = CanvasOf(fast);
        QPainter painter(&reference);
        painter.setPen(QPen(QColor(orange), 1));
        for (int i = 0; i < 8; ++i) {
            const int x0 = px(rng), y0 = py(rng);
            int x1 = px(rng), y1 = py(rng);
            if (i == 0) x1 = x0;           // vertical
            if (i == 1) y1 = y0;           // horizontal
            if (i == 2) x1 = x0, y1 = y0;  // a single point
            DrawSegment(canvas, x0, y0, x1, y1, orange);
            painter.drawLine(QPoint(x0, y0), QPoint(x1, y1));
        }
        painter.end();
        QCOMPARE(FirstDifference(fast, PlotOnWhite(reference, QPoint())), QString());
    }
}

void ChartDrawingTest::farAndInvalidPositionsAreSkippedSafely() {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::nan("");
    const double big = std::numeric_limits<double>::max();
    QImage image = WhiteImage();
    const PixelCanvas canvas = CanvasOf(image);
    MarkerScratch scratch;
    const std::vector<double> xs = {inf, -inf, nan, big, -big, 1e12, 50, 3e9};
    const std::vector<double> ys = {50, 50, 50, 50, 50, 50, nan, -3e9};
    DrawMarkers(canvas, IdentityX(), IdentityY(), xs, ys, {4, qRgb(0, 0, 255), 0}, scratch);
    QCOMPARE(FirstDifference(image, WhiteImage()), QString());

    // A line from far outside crossing the plot is drawn where it crosses, and only there.
    DrawSegment(canvas, -1e300, 40, 1e300, 40, qRgb(255, 0, 0));
    DrawSegment(canvas, nan, 0, 50, 50, qRgb(255, 0, 0));
    DrawSegment(canvas, -inf, 30, 50, 30, qRgb(255, 0, 0));
    for (int x = 0; x < kWidth; ++x) {
        const bool inPlot = x >= kPlot.left() && x <= kPlot.right();
        QCOMPARE(image.pixel(x, 40), inPlot ? qRgb(255, 0, 0) : qRgb(255, 255, 255));
    }
    QCOMPARE(image.pixel(50, 30), qRgb(255, 255, 255));
}

QTEST_MAIN(ChartDrawingTest)
#include "tst_chart_drawing.moc"
