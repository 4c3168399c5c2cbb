// The chart widget: automatic ranges, zero-width ranges, mouse zoom and scroll, saving.

#include <QSignalSpy>
#include <QTest>
#include <bit>
#include <cstdint>

#include "chart/view/chart_widget.h"

using namespace morvik::chart;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kBlue = qRgb(0, 128, 255);
const QRgb kLime = qRgb(0, 255, 0);

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

struct AxisSnapshot {
    bool automatic;
    std::uint64_t minimum, maximum;
    bool operator==(const AxisSnapshot&) const = default;
};

AxisSnapshot Snapshot(const ChartAxis& a) {
    return {a.Automatic(), Bits(a.Minimum()), Bits(a.Maximum())};
}

// Draws the widget once and returns what it drew.
QImage Painted(ChartWidget& w) {
    w.repaint();
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class ChartWidgetTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void automaticRangeIsStoredAndKeepsExtremeMarkersWhole();
    void zeroWidthRangesDrawAtTheMiddle_data();
    void zeroWidthRangesDrawAtTheMiddle();
    void zoomRestoreAndScrollFollowTheMouse();
    void smallDragsChangeNothing();
    void renderImageHasTheWidgetSizeAndAWhiteBackground();
    void signalsReportResizeAndRepaint();
    void inactiveSeriesAreNotDrawn();

  private:
    ChartWidget* w_ = nullptr;
};

void ChartWidgetTest::init() {
    w_ = new ChartWidget;
    w_->resize(400, 400);
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_));
}

void ChartWidgetTest::cleanup() {
    delete w_;
    w_ = nullptr;
}

void ChartWidgetTest::automaticRangeIsStoredAndKeepsExtremeMarkersWhole() {
    ChartModel& m = w_->Model();
    m.Series1.AddXY(0, 0);
    m.Series1.AddXY(10, 20);
    const QImage image = Painted(*w_);
    const QRect plot = w_->PlotRect();
    QVERIFY(m.BottomAxis.Automatic());
    QVERIFY(m.BottomAxis.Minimum() < 0 && m.BottomAxis.Maximum() > 10);
    QVERIFY(m.LeftAxis.Minimum() < 0 && m.LeftAxis.Maximum() > 20);
    // Marker size 4 plus one pixel: the 9x9 marker at (0, 0) starts one pixel inside the plot's
    // lower left corner, and the one at (10, 20) ends one pixel inside the upper right corner.
    // (Rows and columns off the marker centres, which grid lines may cross.)
    QCOMPARE(image.pixel(plot.left() + 1, plot.bottom() - 1), kBlack);
    QCOMPARE(image.pixel(plot.left() + 1, plot.bottom() - 3), kBlack);
    QCOMPARE(image.pixel(plot.left() + 3, plot.bottom() - 3), kBlue);
    QCOMPARE(image.pixel(plot.left(), plot.bottom() - 3), kWhite);
    QCOMPARE(image.pixel(plot.left() + 3, plot.bottom()), kWhite);
    QCOMPARE(image.pixel(plot.right() - 1, plot.top() + 1), kBlack);
    QCOMPARE(image.pixel(plot.right() - 3, plot.top() + 3), kBlue);
    QCOMPARE(image.pixel(plot.right(), plot.top() + 3), kWhite);
    QCOMPARE(image.pixel(plot.right() - 3, plot.top()), kWhite);
}

void ChartWidgetTest::zeroWidthRangesDrawAtTheMiddle_data() {
    QTest::addColumn<bool>("fixed");
    QTest::newRow("automatic, all Y zero") << false;
    QTest::newRow("fixed, minimum equals maximum") << true;
}

void ChartWidgetTest::zeroWidthRangesDrawAtTheMiddle() {
    QFETCH(bool, fixed);
    ChartModel& m = w_->Model();
    m.Series1.SetActive(false);
    for (double x : {-2.0, 2.0}) m.Series3.AddXY(x, 0);
    if (fixed) m.LeftAxis.SetMinMax(0, 0);
    const QImage image = Painted(*w_);
    const QRect plot = w_->PlotRect();
    if (!fixed) {
        QCOMPARE(m.LeftAxis.Minimum(), 0.0);
        QCOMPARE(m.LeftAxis.Maximum(), 0.0);
    }
    const int middle = RoundPixel((static_cast<double>(plot.top()) + plot.bottom()) / 2);
    QCOMPARE(image.pixel(plot.left() + 5, middle), kLime);
    QCOMPARE(image.pixel(plot.left() + 5, middle - 4), kBlack);
    QCOMPARE(image.pixel(plot.left() + 5, middle - 5), kWhite);
}

void ChartWidgetTest::zoomRestoreAndScrollFollowTheMouse() {
    ChartModel& m = w_->Model();
    m.Series1.AddXY(50, 50);
    m.BottomAxis.SetMinMax(0, 100);
    m.LeftAxis.SetMinMax(0, 100);
    Painted(*w_);
    const QRect plot = w_->PlotRect();
    const AxisSnapshot bottomBefore = Snapshot(m.BottomAxis), leftBefore = Snapshot(m.LeftAxis);
    const double perPixelX = 100.0 / (plot.right() - plot.left());
    const double perPixelY = 100.0 / (plot.bottom() - plot.top());

    // Drag towards the lower right: both axes get the range under the rectangle.
    const QPoint from = plot.topLeft() + QPoint(40, 30), to = from + QPoint(100, 80);
    QTest::mousePress(w_, Qt::LeftButton, {}, from);
    QTest::mouseMove(w_, to);
    QTest::mouseRelease(w_, Qt::LeftButton, {}, to);
    Painted(*w_);
    QVERIFY(!m.BottomAxis.Automatic());
    QVERIFY(qAbs(m.BottomAxis.Minimum() - 40 * perPixelX) <= perPixelX);
    QVERIFY(qAbs(m.BottomAxis.Maximum() - 140 * perPixelX) <= perPixelX);
    QVERIFY(qAbs(m.LeftAxis.Maximum() - (100 - 30 * perPixelY)) <= perPixelY);
    QVERIFY(qAbs(m.LeftAxis.Minimum() - (100 - 110 * perPixelY)) <= perPixelY);

    // A right drag scrolls the zoomed ranges with the pointer; widths stay.
    const double zoomedWidth = m.BottomAxis.Maximum() - m.BottomAxis.Minimum();
    const double zoomedMin = m.BottomAxis.Minimum(), zoomedMinY = m.LeftAxis.Minimum();
    const QRect zoomedPlot = w_->PlotRect();  // the labels, and so the plot, may have changed
    const double zoomedPerPixel = zoomedWidth / (zoomedPlot.right() - zoomedPlot.left());
    const double zoomedPerPixelY =
        (m.LeftAxis.Maximum() - zoomedMinY) / (zoomedPlot.bottom() - zoomedPlot.top());
    const QPoint grab = zoomedPlot.center();
    QTest::mousePress(w_, Qt::RightButton, {}, grab);
    QTest::mouseMove(w_, grab + QPoint(30, 20));
    QTest::mouseRelease(w_, Qt::RightButton, {}, grab + QPoint(30, 20));
    Painted(*w_);
    QVERIFY(qAbs(m.BottomAxis.Minimum() - (zoomedMin - 30 * zoomedPerPixel)) <
            zoomedPerPixel / 100);
    QVERIFY(qAbs((m.BottomAxis.Maximum() - m.BottomAxis.Minimum()) - zoomedWidth) <
            zoomedWidth * 1e-12);
    // Dragging down brings lower values into view: the range moves up.
    QVERIFY(qAbs(m.LeftAxis.Minimum() - (zoomedMinY + 20 * zoomedPerPixelY)) <
            zoomedPerPixelY / 100);

    // Any other direction restores what was there before the first zoom, bit for bit.
    QTest::mousePress(w_, Qt::LeftButton, {}, plot.center());
    QTest::mouseMove(w_, plot.center() - QPoint(40, 40));
    QTest::mouseRelease(w_, Qt::LeftButton, {}, plot.center() - QPoint(40, 40));
    QVERIFY(Snapshot(m.BottomAxis) == bottomBefore);
    QVERIFY(Snapshot(m.LeftAxis) == leftBefore);
}

void ChartWidgetTest::smallDragsChangeNothing() {
    ChartModel& m = w_->Model();
    m.Series1.AddXY(1, 1);
    m.Series1.AddXY(2, 3);
    Painted(*w_);
    const QPoint c = w_->PlotRect().center();
    const AxisSnapshot before = Snapshot(m.BottomAxis);
    for (QPoint move : {QPoint(16, 100), QPoint(100, 16), QPoint(-16, -100)}) {
        QTest::mousePress(w_, Qt::LeftButton, {}, c);
        QTest::mouseRelease(w_, Qt::LeftButton, {}, c + move);
        Painted(*w_);
        QVERIFY(Snapshot(m.BottomAxis) == before);
        QVERIFY(m.LeftAxis.Automatic());
    }
    // Zoom from automatic ranges, then restore: automatic again.
    QTest::mousePress(w_, Qt::LeftButton, {}, c - QPoint(50, 50));
    QTest::mouseRelease(w_, Qt::LeftButton, {}, c + QPoint(50, 50));
    QVERIFY(!m.BottomAxis.Automatic());
    QTest::mousePress(w_, Qt::LeftButton, {}, c + QPoint(50, 50));
    QTest::mouseRelease(w_, Qt::LeftButton, {}, c - QPoint(50, 50));
    QVERIFY(m.BottomAxis.Automatic());
    QVERIFY(m.LeftAxis.Automatic());
}

void ChartWidgetTest::renderImageHasTheWidgetSizeAndAWhiteBackground() {
    w_->resize(321, 243);
    w_->Model().Series1.AddXY(1, 1);
    const QImage image = w_->RenderImage();
    QCOMPARE(image.size(), QSize(321, 243));
    QCOMPARE(image.pixel(1, 1), kWhite);
    QCOMPARE(image.pixel(image.width() / 2, 2), kWhite);
    // Inside the plot, away from grid and marker: the white background shows through.
    QCOMPARE(image.pixel(w_->PlotRect().left() + 1, w_->PlotRect().top() + 1), kWhite);
}

void ChartWidgetTest::signalsReportResizeAndRepaint() {
    QSignalSpy resized(w_, &ChartWidget::resized);
    QSignalSpy repainted(w_, &ChartWidget::repainted);
    w_->resize(300, 200);
    QCOMPARE(resized.count(), 1);
    w_->repaint();  // synchronous: the signal has come before repaint() returns
    QCOMPARE(repainted.count(), 1);
}

void ChartWidgetTest::inactiveSeriesAreNotDrawn() {
    ChartModel& m = w_->Model();
    m.BottomAxis.SetMinMax(-10, 10);
    m.LeftAxis.SetMinMax(-10, 10);
    m.Series1.AddXY(0, 0);
    m.Series3.AddXY(0, 0);
    m.Series3.SetActive(false);
    QImage image = Painted(*w_);
    const QRect plot = w_->PlotRect();
    const QPoint centre(RoundPixel((plot.left() + plot.right()) / 2.0),
                        RoundPixel((plot.top() + plot.bottom()) / 2.0));
    QCOMPARE(image.pixel(centre + QPoint(1, 1)), kBlue);
    m.Series3.SetActive(true);  // Series3 is drawn over Series1
    image = Painted(*w_);
    QCOMPARE(image.pixel(centre + QPoint(1, 1)), kLime);
}

QTEST_MAIN(ChartWidgetTest)
#include "tst_chart_widget.moc"
