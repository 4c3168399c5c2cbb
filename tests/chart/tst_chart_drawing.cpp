// The fast marker and line drawing must give the pixels of plain QPainter drawing.

#include <QImage>
#include <QPainter>
#include <QTest>
#include <random>
#include <vector>

#include "chart/view/axis_mapping.h"
#include "chart/view/chart_renderer.h"
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

// The plot rectangle as clip; at ratio 2 each of its pixels is two device pixels wide and high.
PixelCanvas CanvasOf(QImage& image, int ratio = 1) {
    PixelCanvas c;
    c.bits = reinterpret_cast<std::uint32_t*>(image.bits());
    c.stride = image.bytesPerLine() / 4;
    c.left = kPlot.left() * ratio;
    c.top = kPlot.top() * ratio;
    c.right = (kPlot.right() + 1) * ratio - 1;
    c.bottom = (kPlot.bottom() + 1) * ratio - 1;
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
    void markersAtRatioTwoAreTheMarkersDoubled_data();
    void markersAtRatioTwoAreTheMarkersDoubled();
    void chartAtRatioTwoHasDoubleResolution();
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

void ChartDrawingTest::markersAtRatioTwoAreTheMarkersDoubled_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("count");
    QTest::newRow("size 1, few") << 1 << 200;
    QTest::newRow("size 4, few") << 4 << 300;
    QTest::newRow("size 4, many") << 4 << 20000;
}

// Whole-pixel positions: each device-pixel marker is the one-pixel marker doubled, outline
// included, with the same clipping and the same order where markers overlap.
void ChartDrawingTest::markersAtRatioTwoAreTheMarkersDoubled() {
    QFETCH(int, size);
    QFETCH(int, count);
    std::mt19937 rng(static_cast<unsigned>(size * 7 + count));
    std::uniform_int_distribution<int> px(-5, kWidth + 5), py(-5, kHeight + 5);
    std::vector<double> xs, ys;
    for (int i = 0; i < count; ++i) {
        xs.push_back(px(rng));
        ys.push_back(py(rng));
    }
    const std::span<const double> xsAll(xs), ysAll(ys);
    const std::size_t half = xs.size() / 2;
    const MarkerStyle styles[2] = {{size, qRgb(0, 128, 255), qRgb(0, 0, 0)},
                                   {size, qRgb(0, 255, 0), qRgb(0, 0, 0)}};
    auto draw = [&](QImage& image, int ratio) {
        MarkerScratch scratch;
        const PixelCanvas canvas = CanvasOf(image, ratio);
        const AxisMapping x = IdentityX().Scaled(ratio), y = IdentityY().Scaled(ratio);
        DrawMarkers(canvas, x, y, xsAll.first(half), ysAll.first(half), styles[0], scratch, ratio);
        DrawMarkers(canvas, x, y, xsAll.subspan(half), ysAll.subspan(half), styles[1], scratch,
                    ratio);
    };
    QImage single = WhiteImage();
    draw(single, 1);
    QImage doubled(2 * kWidth, 2 * kHeight, QImage::Format_RGB32);
    doubled.fill(Qt::white);
    draw(doubled, 2);
    const QImage expected =
        single.scaled(doubled.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QCOMPARE(FirstDifference(doubled, expected), QString());

    // Between whole pixels a marker's even device side is centred on its exact position, to
    // within half a device pixel (rounding the pixel first would be off by up to one).
    for (int tenth = 0; tenth < 10; ++tenth) {
        const double position = 40 + tenth / 10.0;
        QImage image(2 * kWidth, 2 * kHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        MarkerScratch scratch;
        const std::vector<double> at = {position};
        DrawMarkers(CanvasOf(image, 2), IdentityX().Scaled(2), IdentityY().Scaled(2), at, at,
                    styles[0], scratch, 2);
        const int row = 2 * RoundPixel(position);
        int first = 0, last = 2 * kWidth - 1;
        while (image.pixel(first, row) == qRgb(255, 255, 255)) ++first;
        while (image.pixel(last, row) == qRgb(255, 255, 255)) --last;
        QCOMPARE(last - first + 1, 2 * (2 * size + 1));
        const double deviceCentre = (first + last + 1) / 2.0;  // in device pixel edges
        QVERIFY2(std::abs(deviceCentre - 2 * (position + 0.5)) <= 0.5,
                 qPrintable(QString::number(position)));
    }
}

// The whole chart at ratio 2: twice the pixels, the same layout in widget pixels, markers of
// twice the extent, and every kind of series drawn, including values far outside the plot.
void ChartDrawingTest::chartAtRatioTwoHasDoubleResolution() {
    ChartModel model;
    model.BottomAxis.SetMinMax(-10, 10);
    model.LeftAxis.SetMinMax(-10, 10);
    model.Series1.AddXY(0, 0);
    model.Series1.AddXY(9.9, -9.9);  // clipped at the plot's corner
    model.Series1.AddXY(1e300, 0);
    model.Series2.SetActive(true);
    model.Series2.AddXY(-1e300, 8);  // away from the marker at (0, 0)
    model.Series2.AddXY(1e300, 8);
    model.Series3.SetActive(true);
    model.Series3.AddXY(5, 5);
    model.Series4.SetActive(true);
    model.Series4.AddArrow(-5, 5, 5, 6);
    model.Series4.AddArrow(-1e300, 0, 1e300, 1);
    const QRgb fill = qRgb(model.Series1.PointerFill().r, model.Series1.PointerFill().g,
                           model.Series1.PointerFill().b);
    const QFont font;
    const QLocale locale = QLocale::c();
    ChartRenderer renderer;

    QImage single(300, 240, QImage::Format_RGB32);
    const ChartLayout layout = renderer.Render(model, single, font, locale);
    QImage doubled(600, 480, QImage::Format_RGB32);
    doubled.setDevicePixelRatio(2);
    const ChartLayout doubledLayout = renderer.Render(model, doubled, font, locale);
    QCOMPARE(doubled.size(), QSize(600, 480));
    QVERIFY(layout.valid && doubledLayout.valid);
    QCOMPARE(doubledLayout.plot, layout.plot);

    // The fill of the marker at (0, 0) along its row: where it starts and how wide it is.
    auto fillRun = [fill](const QImage& image, QPoint centre) {
        int left = centre.x(), right = centre.x();
        while (left > 0 && image.pixel(left - 1, centre.y()) == fill) --left;
        while (right + 1 < image.width() && image.pixel(right + 1, centre.y()) == fill) ++right;
        return std::pair{left, right - left + 1};
    };
    const QPoint centre(RoundPixel(layout.x.ToPixel(0)), RoundPixel(layout.y.ToPixel(0)) + 1);
    QCOMPARE(single.pixel(centre), fill);
    QCOMPARE(doubled.pixel(centre * 2), fill);
    const auto [singleLeft, singleWidth] = fillRun(single, centre);
    const auto [doubledLeft, doubledWidth] = fillRun(doubled, centre * 2);
    QCOMPARE(singleWidth, 2 * model.Series1.PointerSize() - 1);
    QVERIFY(std::abs(doubledWidth - 2 * singleWidth) <= 1);
    QVERIFY(std::abs(doubledLeft - 2 * singleLeft) <= 1);
}

QTEST_MAIN(ChartDrawingTest)
#include "tst_chart_drawing.moc"
