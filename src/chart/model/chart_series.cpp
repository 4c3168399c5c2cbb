#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <span>
#include <utility>

#include "chart/model/chart_model.h"
#include "chart/model/stable_order.h"

namespace morvik::chart {
namespace {

// Running bounds; NaN fails every comparison and so never becomes a bound.
struct Accumulator {
    double minX = std::numeric_limits<double>::infinity(), maxX = -minX;
    double minY = minX, maxY = -minX;
    void Add(std::span<const double> xs, std::span<const double> ys) {
        for (double x : xs) {
            if (x < minX) minX = x;
            if (x > maxX) maxX = x;
        }
        for (double y : ys) {
            if (y < minY) minY = y;
            if (y > maxY) maxY = y;
        }
    }
};

}  // namespace

ChartSeries::ChartSeries(ChartModel& owner, SeriesKind kind, std::string title)
    : owner_(owner), kind_(kind), title_(std::move(title)) {}

void ChartSeries::SetActive(bool active) {
    if (active_ == active) return;
    active_ = active;
    owner_.MarkChanged();
}

void ChartSeries::Clear() {
    x_.clear();
    y_.clear();
    endX_.clear();
    endY_.clear();
    pendingSort_ = false;
    order_ = Order::Ascending;
    owner_.MarkChanged();
}

void ChartSeries::Reserve(std::size_t n) {
    x_.reserve(n);
    y_.reserve(n);
    if (kind_ == SeriesKind::Arrow) {
        endX_.reserve(n);
        endY_.reserve(n);
    }
}

void ChartSeries::AddArrow(double x0, double y0, double x1, double y1) {
    Add(x0, y0, x1, y1);
}

// Points arriving in ascending X are appended. While the series is ascending, a point with a
// smaller X is appended too and a stable sort by X places all such points before the next
// access by index: that yields exactly the positions of inserting each point after the last
// one with an X not greater than its own, without moving the tail for every point. A series
// that values set by index have made non-ascending gets the literal insertion instead.
void ChartSeries::Add(double x, double y, double endX, double endY) {
    owner_.MarkChanged();
    const bool isNaN = x != x;
    if (pendingSort_ && !isNaN) {
        Append(x, y, endX, endY);
        return;
    }
    Normalize();
    if (x_.empty() || !(x < x_.back())) {
        if (isNaN) order_ = Order::NotAscending;
        Append(x, y, endX, endY);
        return;
    }
    if (order_ == Order::Unknown) order_ = IsAscending() ? Order::Ascending : Order::NotAscending;
    if (order_ == Order::Ascending) {
        pendingSort_ = true;
        Append(x, y, endX, endY);
        return;
    }
    InsertInOrder(x, y, endX, endY);
}

void ChartSeries::AddXYs(std::size_t count, const PointSource<2>& source) {
    AddMany(count, source);
}

void ChartSeries::AddArrows(std::size_t count, const PointSource<4>& source) {
    AddMany(count, source);
}

template <std::size_t N>
void ChartSeries::AddMany(std::size_t count, const PointSource<N>& source) {
    if (count == 0) return;
    owner_.MarkChanged();
    const bool matchingKind = (N == 4) == (kind_ == SeriesKind::Arrow);
    if (x_.empty() && matchingKind && TrySortedCopy(count, source)) return;
    // One point at a time: the general rule, whatever the series holds.
    ForEachBlock(source, 0, count, [&](std::size_t n, const std::array<double*, N>& block) {
        for (std::size_t k = 0; k < n; ++k) {
            if constexpr (N == 4)
                Add(block[0][k], block[1][k], block[2][k], block[3][k]);
            else
                Add(block[0][k], block[1][k], block[0][k], block[1][k]);
        }
    });
}

// False, with the series left empty, when an X is NaN: such points take the general rule.
template <std::size_t N>
bool ChartSeries::TrySortedCopy(std::size_t count, const PointSource<N>& source) {
    std::array<std::vector<double>*, 4> all = {&x_, &y_, &endX_, &endY_};
    std::array<std::span<double>, N> columns;
    try {
        for (std::size_t c = 0; c < N; ++c) {
            all[c]->resize(count);
            columns[c] = *all[c];
        }
        if (StableSortedCopy(count, source, columns)) {
            pendingSort_ = false;
            order_ = Order::Ascending;
            return true;
        }
    } catch (...) {
        Clear();
        throw;
    }
    Clear();
    return false;
}

void ChartSeries::Append(double x, double y, double endX, double endY) {
    x_.push_back(x);
    y_.push_back(y);
    if (kind_ == SeriesKind::Arrow) {
        endX_.push_back(endX);
        endY_.push_back(endY);
    }
}

void ChartSeries::InsertInOrder(double x, double y, double endX, double endY) {
    std::size_t at = x_.size();
    while (at > 0 && !(x_[at - 1] <= x)) --at;
    x_.insert(x_.begin() + static_cast<std::ptrdiff_t>(at), x);
    y_.insert(y_.begin() + static_cast<std::ptrdiff_t>(at), y);
    if (kind_ == SeriesKind::Arrow) {
        endX_.insert(endX_.begin() + static_cast<std::ptrdiff_t>(at), endX);
        endY_.insert(endY_.begin() + static_cast<std::ptrdiff_t>(at), endY);
    }
}

bool ChartSeries::IsAscending() const {
    for (std::size_t i = 1; i < x_.size(); ++i)
        if (!(x_[i - 1] <= x_[i])) return false;
    return x_.empty() || x_[0] == x_[0];
}

void ChartSeries::Normalize() const {
    if (!pendingSort_) return;
    if (kind_ == SeriesKind::Arrow)
        StableSortByX(x_, y_, endX_, endY_);
    else
        StableSortByX(x_, y_);
    pendingSort_ = false;
    order_ = Order::Ascending;
}

std::size_t ChartSeries::Count() const {
    return x_.size();
}

double ChartSeries::XValue(std::size_t i) const {
    Normalize();
    return x_.at(i);
}

double ChartSeries::YValue(std::size_t i) const {
    Normalize();
    return y_.at(i);
}

double ChartSeries::EndXValue(std::size_t i) const {
    Normalize();
    return kind_ == SeriesKind::Arrow ? endX_.at(i) : x_.at(i);
}

double ChartSeries::EndYValue(std::size_t i) const {
    Normalize();
    return kind_ == SeriesKind::Arrow ? endY_.at(i) : y_.at(i);
}

void ChartSeries::SetXValue(std::size_t i, double v) {
    Normalize();
    double& slot = x_.at(i);
    slot = v;
    if (order_ == Order::Ascending) {
        const bool fitsBefore = i == 0 || x_[i - 1] <= v;
        const bool fitsAfter = i + 1 == x_.size() || v <= x_[i + 1];
        if (!fitsBefore || !fitsAfter) order_ = Order::NotAscending;
    }
    owner_.MarkChanged();
}

void ChartSeries::SetYValue(std::size_t i, double v) {
    Normalize();
    y_.at(i) = v;
    owner_.MarkChanged();
}

std::span<double> ChartSeries::XValues() {
    Normalize();
    order_ = Order::Unknown;  // the caller may write anything
    return x_;
}

std::span<double> ChartSeries::YValues() {
    Normalize();
    return y_;
}

std::span<const double> ChartSeries::XValues() const {
    Normalize();
    return x_;
}

std::span<const double> ChartSeries::YValues() const {
    Normalize();
    return y_;
}

std::span<const double> ChartSeries::EndXValues() const {
    Normalize();
    return kind_ == SeriesKind::Arrow ? std::span<const double>(endX_) : x_;
}

std::span<const double> ChartSeries::EndYValues() const {
    Normalize();
    return kind_ == SeriesKind::Arrow ? std::span<const double>(endY_) : y_;
}

void ChartSeries::ValuesChanged() {
    owner_.MarkChanged();
}

ValueBounds ChartSeries::Bounds() const {
    Accumulator a;
    a.Add(x_, y_);
    a.Add(endX_, endY_);
    ValueBounds b;
    if (a.minX <= a.maxX && a.minY <= a.maxY) b = {false, a.minX, a.maxX, a.minY, a.maxY};
    return b;
}

double ChartSeries::MinXValue() const {
    return Bounds().minX;
}
double ChartSeries::MaxXValue() const {
    return Bounds().maxX;
}
double ChartSeries::MinYValue() const {
    return Bounds().minY;
}
double ChartSeries::MaxYValue() const {
    return Bounds().maxY;
}

void ChartSeries::SetPointerSize(int size) {
    if (size < 1 || size == pointerSize_) return;
    pointerSize_ = size;
    owner_.MarkChanged();
}

}  // namespace morvik::chart
