#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <type_traits>
#include <vector>

#include "chart/model/chart_model.h"
#include "chart/model/stable_order.h"

namespace morvik::chart {
namespace {

struct Point {
    double x, y;
};

// The order rule written out literally: append when X is not below the last X, otherwise insert
// directly after the last point whose X is not greater.
void AddLiterally(std::vector<Point>& points, Point p) {
    if (points.empty() || !(p.x < points.back().x)) {
        points.push_back(p);
        return;
    }
    std::size_t at = points.size();
    while (at > 0 && !(points[at - 1].x <= p.x)) --at;
    points.insert(points.begin() + static_cast<std::ptrdiff_t>(at), p);
}

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

void ExpectSeries(const ChartSeries& series, const std::vector<Point>& expected) {
    ASSERT_EQ(series.Count(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(Bits(series.XValue(i)), Bits(expected[i].x)) << "index " << i;
        ASSERT_EQ(Bits(series.YValue(i)), Bits(expected[i].y)) << "index " << i;
    }
}

struct OrderCase {
    const char* name;
    std::vector<Point> added;
    std::vector<Point> expected;
};

TEST(SeriesOrderTest, AddedPointsKeepXAscendingAndEqualXNewestLast) {
    const std::vector<OrderCase> cases = {
        {"ascending", {{1, 0}, {2, 0}, {3, 0}}, {{1, 0}, {2, 0}, {3, 0}}},
        {"descending", {{3, 0}, {2, 0}, {1, 0}}, {{1, 0}, {2, 0}, {3, 0}}},
        {"equal X appended", {{1, 1}, {1, 2}, {1, 3}}, {{1, 1}, {1, 2}, {1, 3}}},
        {"equal X inserted after the last equal",
         {{1, 1}, {5, 0}, {1, 2}, {1, 3}},
         {{1, 1}, {1, 2}, {1, 3}, {5, 0}}},
        {"smallest goes first", {{2, 0}, {3, 0}, {-1, 7}}, {{-1, 7}, {2, 0}, {3, 0}}},
        {"negative zero equals zero", {{0.0, 1}, {4, 0}, {-0.0, 2}}, {{0.0, 1}, {-0.0, 2}, {4, 0}}},
        {"Y is not ordered", {{1, 9}, {0, -9}, {1, -1}}, {{0, -9}, {1, 9}, {1, -1}}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(c.name);
        ChartModel model;
        for (const Point& p : c.added) model.Series1.AddXY(p.x, p.y);
        ExpectSeries(model.Series1, c.expected);
    }
}

TEST(SeriesOrderTest, RandomInsertionEqualsTheLiteralRule) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coarse(-20, 20);  // many duplicate X values
    std::uniform_real_distribution<double> fine(-1, 1);
    for (int round = 0; round < 4; ++round) {
        ChartModel model;
        std::vector<Point> expected;
        for (int i = 0; i < 300; ++i) {
            const Point p{round % 2 ? coarse(rng) * 0.5 : fine(rng), static_cast<double>(i)};
            model.Series1.AddXY(p.x, p.y);
            AddLiterally(expected, p);
            if (i % 97 == 0) ExpectSeries(model.Series1, expected);  // reads between adds
        }
        ExpectSeries(model.Series1, expected);
    }
}

// The sort at sizes and with values that take its other paths: passes over the lower bits,
// ranges of equal X, both zeros (kept bit for bit), the ends of the double range.
TEST(SeriesOrderTest, StableSortByXEqualsAStableSortOfTheValues) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::size_t count;
        std::function<double(std::mt19937_64&)> x;
    };
    const std::vector<Case> cases = {
        {"normal cloud", 200'000,
         [](std::mt19937_64& r) { return std::normal_distribution<double>(3, 10)(r); }},
        {"few distinct values", 100'000,
         [](std::mt19937_64& r) { return std::uniform_int_distribution<int>(-20, 20)(r) * 0.5; }},
        {"all equal but one", 50'000,
         [](std::mt19937_64& r) { return r() % 40'000 == 0 ? -1.0 : 7.25; }},
        {"only the last bits differ", 100'000,
         [](std::mt19937_64& r) { return 1 + std::ldexp(double(r() % 4096), -52); }},
        {"both zeros among small values", 100'000,
         [](std::mt19937_64& r) {
             const std::uint64_t k = r() % 8;
             return k < 3 ? 0.0 : k < 6 ? -0.0 : std::ldexp(double(r() % 9) - 4, -1070);
         }},
        {"ends of the range", 100'000,
         [](std::mt19937_64& r) {
             const double ends[] = {kInf,
                                    -kInf,
                                    std::numeric_limits<double>::max(),
                                    -std::numeric_limits<double>::max(),
                                    std::numeric_limits<double>::denorm_min(),
                                    -1e-300,
                                    1};
             return ends[r() % 7];
         }},
        {"uniform bits", 100'000,
         [](std::mt19937_64& r) {
             double v;
             do v = std::bit_cast<double>(r());
             while (std::isnan(v));
             return v;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937_64 rng(11);
        std::vector<double> x(c.count), y(c.count), endX(c.count), endY(c.count);
        for (std::size_t i = 0; i < c.count; ++i) {
            x[i] = c.x(rng);
            y[i] = static_cast<double>(i);
            endX[i] = -x[i];
            endY[i] = -y[i];
        }
        std::vector<std::size_t> order(c.count);
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return x[a] < x[b]; });
        const std::vector<double>* values[4] = {&x, &y, &endX, &endY};
        const auto expectSorted = [&](const std::vector<double>* columns, std::size_t n,
                                      const char* route) {
            SCOPED_TRACE(route);
            for (std::size_t i = 0; i < c.count; ++i) {
                for (std::size_t col = 0; col < n; ++col) {
                    ASSERT_EQ(Bits(columns[col][i]), Bits((*values[col])[order[i]]))
                        << "index " << i << " column " << col;
                }
            }
        };

        std::vector<double> points[2] = {x, y};
        StableSortByX(points[0], points[1]);
        expectSorted(points, 2, "points in place");
        std::vector<double> arrows[4] = {x, y, endX, endY};
        StableSortByX(arrows[0], arrows[1], arrows[2], arrows[3]);
        expectSorted(arrows, 4, "arrows in place");

        const auto sourceOf = [&]<std::size_t N>(std::integral_constant<std::size_t, N>) {
            return PointSource<N>(
                [&](std::size_t first, std::size_t n, const std::array<double*, N>& out) {
                    for (std::size_t col = 0; col < N; ++col)
                        std::copy_n(values[col]->data() + first, n, out[col]);
                });
        };
        std::vector<double> copied[4];
        for (auto& column : copied) column.assign(c.count, std::nan(""));
        ASSERT_TRUE(StableSortedCopy(c.count, sourceOf(std::integral_constant<std::size_t, 2>{}),
                                     {copied[0], copied[1]}));
        expectSorted(copied, 2, "points copied");
        ASSERT_TRUE(StableSortedCopy(c.count, sourceOf(std::integral_constant<std::size_t, 4>{}),
                                     {copied[0], copied[1], copied[2], copied[3]}));
        expectSorted(copied, 4, "arrows copied");
    }
}

// Adding in bulk gives, bit for bit, what adding the same points one by one gives: into an empty
// series (the sorting pass), behind points already there, with NaN among them, and for the kind
// of series the bulk call is not made for.
TEST(SeriesOrderTest, AddingInBulkEqualsAddingOneByOne) {
    const double nan = std::nan("");
    struct Case {
        const char* name;
        std::vector<Point> before;  // added one by one first
        std::vector<Point> bulk;
    };
    std::vector<Point> cloud;
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> coarse(-40, 40);
    for (int i = 0; i < 5000; ++i) cloud.push_back({coarse(rng) * 0.25, double(i)});
    std::vector<Point> ascending = cloud;
    std::stable_sort(ascending.begin(), ascending.end(),
                     [](Point a, Point b) { return a.x < b.x; });
    const std::vector<Case> cases = {
        {"into an empty series", {}, cloud},
        {"already ascending", {}, ascending},
        {"with both zeros", {}, {{0.0, 1}, {-0.0, 2}, {-1, 3}, {0.0, 4}, {-0.0, 5}}},
        {"behind ascending points", {{-100, 0}, {100, 1}}, cloud},
        {"behind a pending sort", {{5, 0}, {1, 1}}, cloud},
        {"NaN among them", {}, {{3, 0}, {nan, 1}, {1, 2}, {2, 3}, {0, 4}}},
        {"a single point", {}, {{7, 7}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChartModel byOne, inBulk;
        for (const Point& p : c.before) {
            byOne.Series1.AddXY(p.x, p.y);
            inBulk.Series1.AddXY(p.x, p.y);
            byOne.Series4.AddArrow(p.x, p.y, -p.y, p.x);
            inBulk.Series4.AddArrow(p.x, p.y, -p.y, p.x);
            byOne.Series3.AddArrow(p.x, p.y, -p.y, p.x);
            inBulk.Series3.AddArrow(p.x, p.y, -p.y, p.x);
        }
        for (const Point& p : c.bulk) {
            byOne.Series1.AddXY(p.x, p.y);
            byOne.Series4.AddArrow(p.x, p.y, -p.y, p.x);
            byOne.Series3.AddArrow(p.x, p.y, -p.y, p.x);
        }
        const PointSource<2> points = [&](std::size_t first, std::size_t n,
                                          const std::array<double*, 2>& out) {
            for (std::size_t k = 0; k < n; ++k) {
                out[0][k] = c.bulk[first + k].x;
                out[1][k] = c.bulk[first + k].y;
            }
        };
        const PointSource<4> arrows = [&](std::size_t first, std::size_t n,
                                          const std::array<double*, 4>& out) {
            for (std::size_t k = 0; k < n; ++k) {
                const Point p = c.bulk[first + k];
                out[0][k] = p.x;
                out[1][k] = p.y;
                out[2][k] = -p.y;
                out[3][k] = p.x;
            }
        };
        inBulk.Series1.AddXYs(c.bulk.size(), points);
        inBulk.Series4.AddArrows(c.bulk.size(), arrows);
        inBulk.Series3.AddArrows(c.bulk.size(), arrows);  // a point series: ends are dropped
        for (ChartSeries ChartModel::*series :
             {&ChartModel::Series1, &ChartModel::Series3, &ChartModel::Series4}) {
            const ChartSeries& expected = byOne.*series;
            const ChartSeries& actual = inBulk.*series;
            SCOPED_TRACE(actual.Title());
            ASSERT_EQ(actual.Count(), expected.Count());
            for (std::size_t i = 0; i < expected.Count(); ++i) {
                ASSERT_EQ(Bits(actual.XValue(i)), Bits(expected.XValue(i))) << "index " << i;
                ASSERT_EQ(Bits(actual.YValue(i)), Bits(expected.YValue(i))) << "index " << i;
                ASSERT_EQ(Bits(actual.EndXValue(i)), Bits(expected.EndXValue(i))) << "index " << i;
                ASSERT_EQ(Bits(actual.EndYValue(i)), Bits(expected.EndYValue(i))) << "index " << i;
            }
        }
    }
}

TEST(SeriesOrderTest, SettingValuesDoesNotReorderAndLaterAddsFollowTheLiteralRule) {
    ChartModel model;
    ChartSeries& s = model.Series1;
    std::vector<Point> expected = {{1, 0}, {2, 0}, {3, 0}, {4, 0}};
    for (const Point& p : expected) s.AddXY(p.x, p.y);
    s.SetXValue(0, 10);
    s.SetYValue(0, -5);
    expected[0] = {10, -5};
    ExpectSeries(s, expected);
    // The series is no longer ascending: 2.5 goes after 2, the last X not above it.
    for (const Point& p : {Point{2.5, 1}, Point{0, 2}, Point{3, 3}, Point{20, 4}}) {
        s.AddXY(p.x, p.y);
        AddLiterally(expected, p);
    }
    ExpectSeries(s, expected);
}

TEST(SeriesOrderTest, ValuesWrittenThroughSpansAreRespectedByLaterAdds) {
    ChartModel model;
    ChartSeries& s = model.Series3;
    std::vector<Point> expected;
    for (int i = 0; i < 5; ++i) {
        s.AddXY(i, i);
        expected.push_back({double(i), double(i)});
    }
    std::span<double> xs = s.XValues();
    xs[1] = 9;
    expected[1].x = 9;
    s.ValuesChanged();
    for (const Point& p : {Point{1.5, 1}, Point{-1, 2}}) {
        s.AddXY(p.x, p.y);
        AddLiterally(expected, p);
    }
    ExpectSeries(s, expected);
}

TEST(SeriesOrderTest, NaNXFollowsTheLiteralRule) {
    ChartModel model;
    std::vector<Point> expected;
    const double nan = std::nan("");
    for (const Point& p : {Point{2, 0}, Point{nan, 1}, Point{1, 2}, Point{3, 3}, Point{0.5, 4}}) {
        model.Series1.AddXY(p.x, p.y);
        AddLiterally(expected, p);
    }
    ExpectSeries(model.Series1, expected);
}

TEST(SeriesOrderTest, ArrowsMoveWithTheirEndPoints) {
    ChartModel model;
    ChartSeries& arrows = model.Series4;
    arrows.AddArrow(5, 50, 500, 5000);
    arrows.AddArrow(1, 10, 100, 1000);
    arrows.AddArrow(5, 60, 600, 6000);
    ASSERT_EQ(arrows.Count(), 3u);
    const double expected[3][4] = {{1, 10, 100, 1000}, {5, 50, 500, 5000}, {5, 60, 600, 6000}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(arrows.XValue(i), expected[i][0]);
        EXPECT_EQ(arrows.YValue(i), expected[i][1]);
        EXPECT_EQ(arrows.EndXValue(i), expected[i][2]);
        EXPECT_EQ(arrows.EndYValue(i), expected[i][3]);
    }
    EXPECT_EQ(arrows.MinXValue(), 1);
    EXPECT_EQ(arrows.MaxXValue(), 600);
    EXPECT_EQ(arrows.MaxYValue(), 6000);
}

TEST(SeriesOrderTest, IndexOutOfRangeThrows) {
    ChartModel model;
    model.Series1.AddXY(1, 1);
    EXPECT_THROW(model.Series1.XValue(1), std::out_of_range);
    EXPECT_THROW(model.Series1.SetYValue(1, 0), std::out_of_range);
}

TEST(SeriesBoundsTest, EmptyAndNaNValuesGiveZeroOrAreSkipped) {
    ChartModel model;
    EXPECT_TRUE(model.Series1.Bounds().empty);
    EXPECT_EQ(model.Series1.MinXValue(), 0);
    EXPECT_EQ(model.Series1.MaxYValue(), 0);
    model.Series1.AddXY(std::nan(""), 3);
    model.Series1.AddXY(2, std::nan(""));
    model.Series1.AddXY(-1, 4);
    const ValueBounds b = model.Series1.Bounds();
    EXPECT_EQ(b.minX, -1);
    EXPECT_EQ(b.maxX, 2);
    EXPECT_EQ(b.minY, 3);
    EXPECT_EQ(b.maxY, 4);
}

TEST(ChartModelChangeTest, CallbackRunsOnceUntilTheChartIsDrawn) {
    ChartModel model;
    int calls = 0;
    model.SetChangedCallback([&] { ++calls; });
    for (int i = 0; i < 1000; ++i) model.Series1.AddXY(-i, i);
    EXPECT_EQ(calls, 1);
    model.MarkDrawn();
    model.Series1.SetXValue(0, 3);
    model.LeftAxis.SetMinMax(0, 1);
    EXPECT_EQ(calls, 2);
    model.MarkDrawn();
    model.Series1.SetActive(true);    // no change: already active
    model.Series1.SetPointerSize(0);  // rejected
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(model.Series1.PointerSize(), 4);
    model.LeftAxis.SetComputedRange(5, 6);  // a redraw's own result is no change
    EXPECT_EQ(calls, 2);
    model.Series3.Clear();
    EXPECT_EQ(calls, 3);
}

}  // namespace
}  // namespace morvik::chart
