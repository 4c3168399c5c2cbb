#pragma once
// The chart's model, free of widgets: four series, two axes and the range logic.
// The widget (chart/view/chart_widget.h) draws it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "chart/model/point_source.h"

namespace morvik::chart {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class SeriesKind { Point, Line, Arrow };
enum class LineStyle { Solid, Dot };

// The smallest and largest X and Y over a series (NaN values are skipped).
struct ValueBounds {
    bool empty = true;  // no point with a value other than NaN
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

class ChartModel;

// A series of points (X, Y) or arrows (X, Y to EndX, EndY).
// Order rule: a point that is added goes where it keeps the X values ascending: appended
// when its X is not less than the last X, otherwise inserted directly after the last point
// whose X is less than or equal to its own. Setting a value at an index never reorders.
class ChartSeries {
  public:
    ChartSeries(ChartModel& owner, SeriesKind kind, std::string title);

    SeriesKind Kind() const { return kind_; }
    const std::string& Title() const { return title_; }

    bool Active() const { return active_; }
    void SetActive(bool active);

    void Clear();
    void Reserve(std::size_t n);
    void AddXY(double x, double y);  // inline below: the common appends cost no call
    void AddArrow(double x0, double y0, double x1, double y1);
    // Adds count points (arrows) with the result of count calls of AddXY (AddArrow) in source
    // order. Into an empty series of the matching kind they go in one sorting pass straight
    // from the source, without a second copy of them all.
    void AddXYs(std::size_t count, const PointSource<2>& source);
    void AddArrows(std::size_t count, const PointSource<4>& source);

    std::size_t Count() const;
    double XValue(std::size_t i) const;
    double YValue(std::size_t i) const;
    double EndXValue(std::size_t i) const;
    double EndYValue(std::size_t i) const;
    void SetXValue(std::size_t i, double v);
    void SetYValue(std::size_t i, double v);
    // Direct access in index order, for animation frames and drawing.
    std::span<double> XValues();
    std::span<double> YValues();
    std::span<const double> XValues() const;
    std::span<const double> YValues() const;
    std::span<const double> EndXValues() const;
    std::span<const double> EndYValues() const;
    // After writing through the spans above: mark the chart for redrawing.
    void ValuesChanged();

    // Bounds over all points (start and end points for arrows); 0 when empty.
    double MinXValue() const;
    double MaxXValue() const;
    double MinYValue() const;
    double MaxYValue() const;
    // All four bounds in one pass (start and end points for arrows).
    ValueBounds Bounds() const;

    // Look.
    int PointerSize() const { return pointerSize_; }  // HorizSize = VertSize; square of 2s+1
    void SetPointerSize(int size);                    // sizes below 1 are rejected (ignored)
    Rgb Color() const { return color_; }              // line / arrow colour
    Rgb PointerFill() const { return fill_; }
    Rgb PointerOutline() const { return outline_; }
    LineStyle PenStyle() const { return penStyle_; }
    void SetColor(Rgb c) { color_ = c; }
    void SetPointerFill(Rgb c) { fill_ = c; }
    void SetPointerOutline(Rgb c) { outline_ = c; }
    void SetPenStyle(LineStyle s) { penStyle_ = s; }

  private:
    // Whether the X values are known to ascend; values written at an index may break it.
    enum class Order { Ascending, NotAscending, Unknown };
    void Normalize() const;  // applies pending ordered insertions
    bool IsAscending() const;
    void Append(double x, double y, double endX, double endY);
    void InsertInOrder(double x, double y, double endX, double endY);
    void Add(double x, double y, double endX, double endY);
    template <std::size_t N>
    void AddMany(std::size_t count, const PointSource<N>& source);
    template <std::size_t N>
    bool TrySortedCopy(std::size_t count, const PointSource<N>& source);
    ChartModel& owner_;
    SeriesKind kind_;
    std::string title_;
    bool active_ = true;
    int pointerSize_ = 4;
    Rgb color_, fill_, outline_;
    LineStyle penStyle_ = LineStyle::Solid;
    // Implementation state (helper may change).
    mutable std::vector<double> x_, y_, endX_, endY_;
    mutable bool pendingSort_ = false;  // appended out of order; a stable sort by X places them
    mutable Order order_ = Order::Ascending;
};

class ChartAxis {
  public:
    explicit ChartAxis(ChartModel& owner) : owner_(owner) {}
    bool Automatic() const { return automatic_; }
    void SetAutomatic(bool automatic);
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    // Fixes the range (Automatic becomes false). A reversed pair is swapped; an infinite or NaN
    // limit throws NumericError and changes nothing.
    void SetMinMax(double minimum, double maximum);
    // The automatic range as the last redraw computed it.
    void SetComputedRange(double minimum, double maximum);

  private:
    ChartModel& owner_;
    bool automatic_ = true;
    double minimum_ = 0;
    double maximum_ = 0;
};

class ChartModel {
  public:
    ChartModel();
    ChartModel(const ChartModel&) = delete;
    ChartModel& operator=(const ChartModel&) = delete;

    ChartSeries Series1;  // data points: squares filled RGB(0,128,255), black outline
    ChartSeries Series2;  // principal component line: red, dotted, 1 px, no markers
    ChartSeries Series3;  // projection points: squares filled lime, black outline
    ChartSeries Series4;  // projection lines: orange arrows, 1 px
    ChartAxis BottomAxis;
    ChartAxis LeftAxis;

    // Called once when the model goes from drawn to changed (the widget schedules a paint).
    void SetChangedCallback(std::function<void()> callback);
    void MarkChanged() {
        if (dirty_) return;
        dirty_ = true;
        if (changed_) changed_();
    }
    void MarkDrawn();
    bool Changed() const { return dirty_; }  // changed since the last MarkDrawn

  private:
    std::function<void()> changed_;
    bool dirty_ = false;
};

// Appending is the common case (points in X order, or any point while a sort is pending);
// everything else goes through the general rule in Add.
inline void ChartSeries::AddXY(double x, double y) {
    if (kind_ != SeriesKind::Arrow && x == x && (pendingSort_ || x_.empty() || !(x < x_.back()))) {
        owner_.MarkChanged();
        x_.push_back(x);
        y_.push_back(y);
        return;
    }
    Add(x, y, x, y);
}

// Both axes get the same fixed range: [lo - m, hi + m] over the active point series
// (Series1, Series3), m = |hi - lo| * 0.05. Throws NumericError (axes unchanged) when the
// range does not fit in a double or the points hold infinities.
void FitAxes(ChartModel& model);
// Series2 := the line through the origin along (x, y) across the current axis ranges. A
// direction so steep that y / x overflows is drawn as the vertical line.
void DrawPrincipalComponent(ChartModel& model, double x, double y);
// Marker size of Series1 and Series3.
void SetPointSize(ChartModel& model, int size);

}  // namespace morvik::chart
