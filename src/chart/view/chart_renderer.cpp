#include "chart/view/chart_renderer.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "chart/view/axis_labels.h"
#include "chart/view/line_rasteriser.h"
#include "chart/view/pixel_canvas.h"

namespace morvik::chart {
namespace {

constexpr int kOuterMargin = 8;  // between the widget border and labels or plot
constexpr int kTickLength = 4;
constexpr int kLabelGap = 2;  // between a tick and its label
constexpr int kMinPlotSide = 2;
const QColor kGridColor(160, 160, 160);
const QColor kFrameColor(0, 0, 0);
const QColor kBevelShadow(128, 128, 128);

std::uint32_t Pixel(Rgb c) {
    return qRgb(c.r, c.g, c.b);
}
QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

double ClampToDouble(long double v) {
    constexpr long double kMax = std::numeric_limits<double>::max();
    return static_cast<double>(std::clamp(v, -kMax, kMax));
}

struct Range {
    double minimum = 0, maximum = 0;
};

// The bounds of the four series in series order; those of an inactive series are empty.
using SeriesBounds = std::array<ValueBounds, 4>;

SeriesBounds BoundsOfActiveSeries(const ChartModel& model) {
    SeriesBounds bounds;
    const ChartSeries* series[] = {&model.Series1, &model.Series2, &model.Series3, &model.Series4};
    for (std::size_t i = 0; i < bounds.size(); ++i)
        if (series[i]->Active()) bounds[i] = series[i]->Bounds();
    return bounds;
}

std::vector<QString> Labels(const std::vector<double>& ticks, const QLocale& locale) {
    std::vector<QString> labels;
    labels.reserve(ticks.size());
    for (double t : ticks) labels.push_back(AxisLabel(t, locale));
    return labels;
}

int WidestLabel(const std::vector<QString>& labels, const QFontMetrics& fm) {
    int widest = 0;
    for (const QString& l : labels) widest = std::max(widest, fm.horizontalAdvance(l));
    return widest;
}

// The series drawn straight in device pixels: the layout's mappings scaled to the image's
// pixel density, and the plot rectangle in device pixels as the clip.
struct DeviceDrawing {
    double ratio = 1;
    PixelCanvas canvas;
    AxisMapping x, y;
    int penWidth = 1;  // device pixels of a one-pixel line
};

DeviceDrawing DeviceDrawingOf(QImage& image, const ChartLayout& layout) {
    DeviceDrawing d;
    d.ratio = image.devicePixelRatio();
    const double r = d.ratio;
    // Pixel i covers [i * r, (i + 1) * r) in device pixels.
    auto first = [r](int i) { return static_cast<int>(std::lround(i * r)); };
    auto last = [r](int i) { return static_cast<int>(std::lround((i + 1) * r)) - 1; };
    d.canvas.bits = reinterpret_cast<std::uint32_t*>(image.bits());
    d.canvas.stride = image.bytesPerLine() / static_cast<int>(sizeof(std::uint32_t));
    d.canvas.left = std::max(0, first(layout.plot.left()));
    d.canvas.top = std::max(0, first(layout.plot.top()));
    d.canvas.right = std::min(image.width() - 1, last(layout.plot.right()));
    d.canvas.bottom = std::min(image.height() - 1, last(layout.plot.bottom()));
    d.x = layout.x.Scaled(r);
    d.y = layout.y.Scaled(r);
    d.penWidth = std::max(1, static_cast<int>(std::lround(r)));
    return d;
}

void DrawLineSeries(QImage& image, const ChartSeries& series, const DeviceDrawing& d) {
    const auto xs = series.XValues();
    const auto ys = series.YValues();
    if (xs.size() < 2) return;
    // A view of the same pixels without the density, so QPainter works in device pixels and
    // the line passes exactly through the markers placed on it.
    QImage device(image.bits(), image.width(), image.height(), image.bytesPerLine(),
                  image.format());
    QPainter painter(&device);
    const QRect clip(QPoint(d.canvas.left, d.canvas.top), QPoint(d.canvas.right, d.canvas.bottom));
    painter.setClipRect(clip);
    painter.setPen(QPen(ToQColor(series.Color()), d.penWidth,
                        series.PenStyle() == LineStyle::Dot ? Qt::DotLine : Qt::SolidLine));
    const QRectF guard = QRectF(clip).adjusted(-16, -16, 16, 16);
    for (std::size_t i = 1; i < xs.size(); ++i) {
        double x0 = d.x.ToPixel(xs[i - 1]), y0 = d.y.ToPixel(ys[i - 1]);
        double x1 = d.x.ToPixel(xs[i]), y1 = d.y.ToPixel(ys[i]);
        if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
            continue;
        // Cut back only far-out ends, so the dot pattern keeps its phase in the usual case.
        constexpr double kFar = 1e6;
        if (std::fabs(x0) > kFar || std::fabs(y0) > kFar || std::fabs(x1) > kFar ||
            std::fabs(y1) > kFar) {
            if (!ClipSegment(x0, y0, x1, y1, guard.left(), guard.top(), guard.right(),
                             guard.bottom()))
                continue;
        }
        painter.drawLine(QPoint(RoundPixel(x0), RoundPixel(y0)),
                         QPoint(RoundPixel(x1), RoundPixel(y1)));
    }
}

void DrawArrowSeries(const ChartSeries& series, const DeviceDrawing& d) {
    const auto xs = series.XValues(), ys = series.YValues();
    const auto ex = series.EndXValues(), ey = series.EndYValues();
    const std::uint32_t color = Pixel(series.Color());
    const std::size_t n = std::min({xs.size(), ys.size(), ex.size(), ey.size()});
    for (std::size_t i = 0; i < n; ++i) {
        DrawSegment(d.canvas, d.x.ToPixel(xs[i]), d.y.ToPixel(ys[i]), d.x.ToPixel(ex[i]),
                    d.y.ToPixel(ey[i]), color, d.penWidth);
    }
}

void AutomaticRangeFrom(const ChartModel& model, const SeriesBounds& bounds, bool vertical,
                        int lengthPixels, double& minimum, double& maximum) {
    bool any = false;
    double lo = 0, hi = 0;
    int pointerSize = 0;  // largest marker among the shown, non-empty point series
    const ChartSeries* series[] = {&model.Series1, &model.Series2, &model.Series3, &model.Series4};
    for (std::size_t i = 0; i < bounds.size(); ++i) {
        const ChartSeries* s = series[i];
        if (!s->Active()) continue;
        const ValueBounds& b = bounds[i];
        if (b.empty) continue;
        const double sMin = vertical ? b.minY : b.minX, sMax = vertical ? b.maxY : b.maxX;
        lo = any ? std::min(lo, sMin) : sMin;
        hi = any ? std::max(hi, sMax) : sMax;
        any = true;
        if (s->Kind() == SeriesKind::Point) pointerSize = std::max(pointerSize, s->PointerSize());
    }
    lo = ClampToDouble(lo);
    hi = ClampToDouble(hi);
    // Widen so the markers at the extremes are drawn whole: the extreme values land pad pixels
    // inside the plot's ends.
    const int pad = pointerSize > 0 ? pointerSize + 1 : 0;
    const int usable = lengthPixels - 2 * pad;
    if (pad > 0 && hi > lo && usable > 0) {
        const long double perPixel = (static_cast<long double>(hi) - lo) / usable;
        const double newLo = ClampToDouble(lo - pad * perPixel);
        hi = ClampToDouble(hi + pad * perPixel);
        lo = newLo;
    }
    minimum = lo;
    maximum = hi;
}

// One pass over the points gives the bounds for both axes of a redraw.
class AxisRanges {
  public:
    explicit AxisRanges(ChartModel& model) : model_(model) {}
    Range Of(ChartAxis& axis, bool vertical, int lengthPixels) {
        if (!axis.Automatic()) return {axis.Minimum(), axis.Maximum()};
        if (!bounds_) bounds_ = BoundsOfActiveSeries(model_);
        Range r;
        AutomaticRangeFrom(model_, *bounds_, vertical, lengthPixels, r.minimum, r.maximum);
        axis.SetComputedRange(r.minimum, r.maximum);
        return r;
    }

  private:
    ChartModel& model_;
    std::optional<SeriesBounds> bounds_;
};

}  // namespace

void AutomaticRange(const ChartModel& model, bool vertical, int lengthPixels, double& minimum,
                    double& maximum) {
    AutomaticRangeFrom(model, BoundsOfActiveSeries(model), vertical, lengthPixels, minimum,
                       maximum);
}

ChartLayout ChartRenderer::Render(ChartModel& model, QImage& image, const QFont& font,
                                  const QLocale& locale) {
    image.fill(Qt::white);
    ChartLayout layout;
    const QFontMetrics fm(font);
    const int labelHeight = fm.height();
    // The layout is in pixels of the widget; a high-density image has ratio device pixels
    // for each, and QPainter scales its drawing to them.
    const double ratio = image.devicePixelRatio();
    const int width = static_cast<int>(std::lround(image.width() / ratio));
    const int height = static_cast<int>(std::lround(image.height() / ratio));

    // Vertical extent first: the left margin depends on the Y labels, which depend on the
    // Y range, which (when automatic) depends on the plot height.
    const int top = kOuterMargin + labelHeight / 2;
    const int bottom = height - 1 - (kOuterMargin + labelHeight + kLabelGap + kTickLength + 1);
    if (bottom - top < kMinPlotSide) return layout;
    AxisRanges ranges(model);
    const Range yRange = ranges.Of(model.LeftAxis, true, bottom - top);
    const std::vector<double> yTicks =
        AxisTicks(yRange.minimum, yRange.maximum, bottom - top, labelHeight * 2.0);
    const std::vector<QString> yLabels = Labels(yTicks, locale);
    const int left = kOuterMargin + WidestLabel(yLabels, fm) + kLabelGap + kTickLength + 1;
    const int right = width - 1 - kOuterMargin - fm.horizontalAdvance(QLatin1Char('0')) * 2;
    if (right - left < kMinPlotSide) return layout;
    const Range xRange = ranges.Of(model.BottomAxis, false, right - left);

    // X labels must not touch: widen the tick spacing until the widest label fits.
    std::vector<double> xTicks;
    std::vector<QString> xLabels;
    double spacing = std::max(fm.horizontalAdvance(AxisLabel(xRange.minimum, locale)),
                              fm.horizontalAdvance(AxisLabel(xRange.maximum, locale))) +
                     labelHeight;
    for (int attempt = 0; attempt < 8; ++attempt) {
        xTicks = AxisTicks(xRange.minimum, xRange.maximum, right - left, spacing);
        xLabels = Labels(xTicks, locale);
        const double needed = WidestLabel(xLabels, fm) + labelHeight;
        if (needed <= spacing) break;
        spacing = needed;
    }

    layout.valid = true;
    layout.plot = QRect(QPoint(left, top), QPoint(right, bottom));
    layout.x = AxisMapping(xRange.minimum, xRange.maximum, left, right);
    layout.y = AxisMapping(yRange.minimum, yRange.maximum, bottom, top);

    // At ratio 1 a one-pixel pen covers the pixel right of and below its coordinate; a scaled
    // pen is centred on the coordinate instead. Lines shift half a pixel to cover the same
    // pixels, so the frame meets the series' device clip and the grid the markers.
    const QPointF lineOffset(0.5, 0.5);
    const bool shiftLines = ratio != 1;
    {
        QPainter painter(&image);
        painter.setClipRect(layout.plot);
        if (shiftLines) painter.translate(lineOffset);
        painter.setPen(QPen(kGridColor, 1, Qt::DotLine));
        for (double t : xTicks) {
            const int x = RoundPixel(std::clamp(layout.x.ToPixel(t), -1e6, 1e6));
            painter.drawLine(x, top, x, bottom);
        }
        for (double t : yTicks) {
            const int y = RoundPixel(std::clamp(layout.y.ToPixel(t), -1e6, 1e6));
            painter.drawLine(left, y, right, y);
        }
    }

    const DeviceDrawing device = DeviceDrawingOf(image, layout);
    auto drawPoints = [&](const ChartSeries& s) {
        if (!s.Active()) return;
        const MarkerStyle style{s.PointerSize(), Pixel(s.PointerFill()), Pixel(s.PointerOutline())};
        DrawMarkers(device.canvas, device.x, device.y, s.XValues(), s.YValues(), style, scratch_,
                    device.ratio);
    };
    drawPoints(model.Series1);
    if (model.Series2.Active()) DrawLineSeries(image, model.Series2, device);
    drawPoints(model.Series3);
    if (model.Series4.Active()) DrawArrowSeries(model.Series4, device);

    std::vector<int> xTickPixels, yTickPixels;
    for (double t : xTicks)
        xTickPixels.push_back(RoundPixel(std::clamp(layout.x.ToPixel(t), -1e6, 1e6)));
    for (double t : yTicks)
        yTickPixels.push_back(RoundPixel(std::clamp(layout.y.ToPixel(t), -1e6, 1e6)));
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(kFrameColor);
    painter.save();
    if (shiftLines) painter.translate(lineOffset);
    painter.drawRect(QRect(left - 1, top - 1, right - left + 2, bottom - top + 2));
    for (int x : xTickPixels) painter.drawLine(x, bottom + 2, x, bottom + 1 + kTickLength);
    for (int y : yTickPixels) painter.drawLine(left - 1 - kTickLength, y, left - 2, y);
    painter.restore();
    for (std::size_t i = 0; i < xTicks.size(); ++i) {
        const int w = fm.horizontalAdvance(xLabels[i]);
        const int labelLeft = std::clamp(xTickPixels[i] - w / 2, 0, std::max(0, width - w));
        painter.drawText(QRect(labelLeft, bottom + 2 + kTickLength + kLabelGap, w, labelHeight),
                         Qt::AlignCenter, xLabels[i]);
    }
    for (std::size_t i = 0; i < yTicks.size(); ++i) {
        const int labelRight = left - 2 - kTickLength - kLabelGap;
        painter.drawText(QRect(0, yTickPixels[i] - labelHeight / 2, labelRight, labelHeight),
                         Qt::AlignRight | Qt::AlignVCenter, yLabels[i]);
    }
    // A raised one-pixel bevel around the chart: its light side is the white background.
    if (shiftLines) painter.translate(lineOffset);
    painter.setPen(kBevelShadow);
    painter.drawLine(0, height - 1, width - 1, height - 1);
    painter.drawLine(width - 1, 0, width - 1, height - 1);
    return layout;
}

}  // namespace morvik::chart
