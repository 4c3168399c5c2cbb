#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "analysis/numeric_error.h"
#include "chart/model/chart_model.h"

namespace morvik::chart {
namespace {

using Extended = long double;

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

void ExpectRange(const ChartAxis& axis, double minimum, double maximum) {
    EXPECT_FALSE(axis.Automatic());
    EXPECT_EQ(Bits(axis.Minimum()), Bits(minimum)) << axis.Minimum() << " vs " << minimum;
    EXPECT_EQ(Bits(axis.Maximum()), Bits(maximum)) << axis.Maximum() << " vs " << maximum;
}

// The fitted range as the arithmetic is defined: margin = |hi - lo| * 0.05 in extended
// precision, rounded to double; each limit rounded to double.
void ExpectFitted(const ChartModel& model, double lo, double hi) {
    const double margin = static_cast<double>(std::fabs(Extended{hi} - lo) * 0.05L);
    const double minimum = static_cast<double>(Extended{lo} - margin);
    const double maximum = static_cast<double>(Extended{hi} + margin);
    ExpectRange(model.BottomAxis, minimum, maximum);
    ExpectRange(model.LeftAxis, minimum, maximum);
}

struct FitCase {
    const char* name;
    std::vector<std::array<double, 2>> series1, series3;
    bool active1, active3;
    double lo, hi;            // expected bounds before the margin
    double minimum, maximum;  // the documented result where there is one (NaN: none)
};

TEST(FitAxesTest, BothAxesGetTheSameRangeWithAFivePercentMargin) {
    const double none = std::nan("");
    const std::vector<FitCase> cases = {
        {"X in [0,10], Y in [100,110]",
         {{0, 100}, {10, 110}},
         {},
         true,
         false,
         0,
         110,
         -5.5,
         115.5},
        {"X in [-2,2], Y in [-1,1]", {{-2, -1}, {2, 1}, {0, 0}}, {}, true, false, -2, 2, -2.2, 2.2},
        {"single vector", {{3, 5}}, {}, true, false, 3, 5, 2.9, 5.1},
        {"both series", {{1, 2}}, {{-4, 3}}, true, true, -4, 3, none, none},
        {"only Series3 counts",
         {{-100, 100}},
         {{0.5, 0.25}, {1, 2}},
         false,
         true,
         0.25,
         2,
         none,
         none},
        {"neither active", {{7, 7}}, {{8, 8}}, false, false, 0, 0, 0, 0},
        {"active but empty", {}, {}, true, true, 0, 0, 0, 0},
        {"one value everywhere", {{4, 4}}, {}, true, false, 4, 4, 4, 4},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        ChartModel model;
        for (auto [x, y] : c.series1) model.Series1.AddXY(x, y);
        for (auto [x, y] : c.series3) model.Series3.AddXY(x, y);
        model.Series2.AddXY(-1000, 1000);  // the line and the arrows never count
        model.Series4.AddArrow(-1000, -1000, 1000, 1000);
        model.Series1.SetActive(c.active1);
        model.Series3.SetActive(c.active3);
        FitAxes(model);
        ExpectFitted(model, c.lo, c.hi);
        if (!std::isnan(c.minimum)) {
            EXPECT_EQ(model.BottomAxis.Minimum(), c.minimum);
            EXPECT_EQ(model.LeftAxis.Maximum(), c.maximum);
        }
    }
}

TEST(FitAxesTest, RangesBeyondTheDoubleRangeThrowAndLeaveTheAxesAlone) {
    const double big = std::numeric_limits<double>::max();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::array<double, 2>> cases = {{-big, big}, {0, big}, {inf, 0}, {0, -inf}};
    for (auto [x, y] : cases) {
        SCOPED_TRACE(x);
        ChartModel model;
        model.Series1.AddXY(x, y);
        model.Series1.AddXY(0, 0);
        model.BottomAxis.SetMinMax(1, 2);
        EXPECT_THROW(FitAxes(model), NumericError);
        ExpectRange(model.BottomAxis, 1, 2);
        EXPECT_TRUE(model.LeftAxis.Automatic());
    }
    // Near the limit but still representable: fits.
    ChartModel model;
    model.Series1.AddXY(big / 2, big / 2);
    model.Series1.AddXY(-big / 2, -big / 2);
    EXPECT_NO_THROW(FitAxes(model));
    ExpectFitted(model, -big / 2, big / 2);
}

TEST(ChartAxisTest, SetMinMaxFixesSwapsAndRejectsNonFiniteLimits) {
    ChartModel model;
    EXPECT_TRUE(model.BottomAxis.Automatic());
    model.BottomAxis.SetMinMax(3, -1);
    ExpectRange(model.BottomAxis, -1, 3);
    EXPECT_THROW(model.BottomAxis.SetMinMax(0, std::nan("")), NumericError);
    EXPECT_THROW(model.BottomAxis.SetMinMax(-std::numeric_limits<double>::infinity(), 0),
                 NumericError);
    ExpectRange(model.BottomAxis, -1, 3);
    model.BottomAxis.SetMinMax(2, 2);  // a zero-width fixed range is accepted
    ExpectRange(model.BottomAxis, 2, 2);
    model.BottomAxis.SetAutomatic(true);
    EXPECT_TRUE(model.BottomAxis.Automatic());
}

struct LineCase {
    const char* name;
    double x, y;
    // End points in the order they were added, before Series2 sorts them by X.
    double x0, y0, x1, y1;
};

// Axis ranges that are neither symmetric nor equal, so every branch picks visible limits.
constexpr double kBottomMin = -4, kBottomMax = 6, kLeftMin = -3, kLeftMax = 5;

Extended K(double x, double y) {
    return static_cast<double>(Extended{y} / x);
}
double Times(double k, double v) {
    return static_cast<double>(Extended{k} * v);
}
double Over(double v, double k) {
    return static_cast<double>(Extended{v} / k);
}

TEST(DrawPrincipalComponentTest, EndPointsLieOnTheAxisLimits) {
    const double k68 = static_cast<double>(K(0.6, 0.8));
    const double k6m8 = static_cast<double>(K(0.6, -0.8));
    const double k8m6 = static_cast<double>(K(0.8, -0.6));
    const double r = std::sqrt(0.5);
    const std::vector<LineCase> cases = {
        {"(0.6, 0.8) top and bottom", 0.6, 0.8, Over(kLeftMax, k68), kLeftMax, Over(kLeftMin, k68),
         kLeftMin},
        {"(0.6, -0.8) top and bottom", 0.6, -0.8, Over(kLeftMax, k6m8), kLeftMax,
         Over(kLeftMin, k6m8), kLeftMin},
        {"(0.8, -0.6) left and right", 0.8, -0.6, kBottomMin, Times(k8m6, kBottomMin), kBottomMax,
         Times(k8m6, kBottomMax)},
        {"(1, 0) along the X axis", 1, 0, kBottomMax, 0, kBottomMin, -0.0},
        {"(0, 1) vertical", 0, 1, 0, kLeftMax, 0, kLeftMin},
        {"(-0, 1) vertical", -0.0, 1, 0, kLeftMax, 0, kLeftMin},
        {"45 degrees rising: X limits", r, r, kBottomMax, kBottomMax, kBottomMin, kBottomMin},
        {"45 degrees falling: X limits", r, -r, kBottomMin, -kBottomMin, kBottomMax, -kBottomMax},
        {"slope beyond the double range: vertical", 1e-320, 1, 0, kLeftMax, 0, kLeftMin},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        ChartModel model;
        model.BottomAxis.SetMinMax(kBottomMin, kBottomMax);
        model.LeftAxis.SetMinMax(kLeftMin, kLeftMax);
        model.Series2.AddXY(100, 100);  // an earlier line is replaced
        DrawPrincipalComponent(model, c.x, c.y);
        ASSERT_EQ(model.Series2.Count(), 2u);
        // Series2 keeps X ascending, so the pair may have been swapped.
        const bool swapped = c.x1 < c.x0;
        const double ex0 = swapped ? c.x1 : c.x0, ey0 = swapped ? c.y1 : c.y0;
        const double ex1 = swapped ? c.x0 : c.x1, ey1 = swapped ? c.y0 : c.y1;
        EXPECT_EQ(Bits(model.Series2.XValue(0)), Bits(ex0));
        EXPECT_EQ(Bits(model.Series2.YValue(0)), Bits(ey0));
        EXPECT_EQ(Bits(model.Series2.XValue(1)), Bits(ex1));
        EXPECT_EQ(Bits(model.Series2.YValue(1)), Bits(ey1));
    }
}

TEST(SetPointSizeTest, SetsBothPointSeriesAndRejectsSizesBelowOne) {
    ChartModel model;
    EXPECT_EQ(model.Series1.PointerSize(), 4);
    EXPECT_EQ(model.Series3.PointerSize(), 4);
    SetPointSize(model, 2);
    EXPECT_EQ(model.Series1.PointerSize(), 2);
    EXPECT_EQ(model.Series3.PointerSize(), 2);
    SetPointSize(model, 0);
    EXPECT_EQ(model.Series1.PointerSize(), 2);
    EXPECT_EQ(model.Series3.PointerSize(), 2);
}

TEST(ChartModelTest, SeriesHaveTheirKindsLooksAndTitles) {
    ChartModel model;
    EXPECT_EQ(model.Series1.Title(), "(Series1) DataSeries, points");
    EXPECT_EQ(model.Series2.Title(), "(Series2) PrincipalComponent, line");
    EXPECT_EQ(model.Series3.Title(), "(Series3) Projection Series, points");
    EXPECT_EQ(model.Series4.Title(), "(Series4) Projection lines, (arrow series)");
    EXPECT_EQ(model.Series1.Kind(), SeriesKind::Point);
    EXPECT_EQ(model.Series2.Kind(), SeriesKind::Line);
    EXPECT_EQ(model.Series4.Kind(), SeriesKind::Arrow);
    EXPECT_EQ(model.Series1.PointerFill(), (Rgb{0, 128, 255}));
    EXPECT_EQ(model.Series3.PointerFill(), (Rgb{0, 255, 0}));
    EXPECT_EQ(model.Series1.PointerOutline(), (Rgb{0, 0, 0}));
    EXPECT_EQ(model.Series2.Color(), (Rgb{255, 0, 0}));
    EXPECT_EQ(model.Series2.PenStyle(), LineStyle::Dot);
    EXPECT_EQ(model.Series4.Color(), (Rgb{255, 128, 0}));
    EXPECT_EQ(model.Series4.PointerSize(), 1);
}

}  // namespace
}  // namespace morvik::chart
