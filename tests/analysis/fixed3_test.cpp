#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "analysis/number_format.h"

namespace morvik {
namespace {

struct TFixed3Case {
    double Value;
    const char* Expected;
};

// Rounding is half away from zero on the exact binary value, so the decimal literal a case
// is written with matters only through the double it denotes.
const TFixed3Case kFixed3Cases[] = {
    {0.0, "0.000"},
    {-0.0, "-0.000"},
    {1.5, "1.500"},
    {-2.0, "-2.000"},
    {0.0625, "0.063"},    // exact tie
    {-0.0625, "-0.063"},  // exact tie, negative
    {0.0005, "0.001"},    // the double lies just above the tie
    {0.0004, "0.000"},
    {-0.0004, "-0.000"},  // negative, rounds to zero, keeps its sign
    {-0.0008, "-0.001"},
    {2.0005, "2.001"},                   // the double lies above the tie
    {1.0005, "1.000"},                   // the double lies below the tie
    {0.9995, "1.000"},                   // above the tie: carry into the integer part
    {4.9406564584124654e-324, "0.000"},  // smallest subnormal
    {-4.9406564584124654e-324, "-0.000"},
    {123456789.125, "123456789.125"},
    {9007199254740993.0, "9007199254740992.000"},  // rounded to the double 2^53
    {0x1p119, "664613997892457936451903530140172288.000"},
    {-0x1.fffffffffffffp119, "-1329227995784915725329854470603931648.000"},  // below 2^120
    {0x1p120, " 1.3E+0036"},
    {-0x1p120, "-1.3E+0036"},
    {1.25e40, " 1.3E+0040"},  // exact decimal ...25 and more: rounds up
    {9.949999e40, " 9.9E+0040"},
    {9.96e40, " 1.0E+0041"},  // carry into the exponent
    {-9.96e40, "-1.0E+0041"},
    {1e300, " 1.0E+0300"},
    {std::numeric_limits<double>::max(), " 1.8E+0308"},
};

TEST(Fixed3Test, FormatsEveryMagnitudeExactly) {
    for (const TFixed3Case& c : kFixed3Cases) {
        EXPECT_EQ(Fixed3(c.Value), c.Expected) << std::hexfloat << c.Value;
    }
}

TEST(Fixed3Test, DoesNotCrashOnValuesOutsideItsDomain) {
    EXPECT_FALSE(Fixed3(std::numeric_limits<double>::infinity()).empty());
    EXPECT_FALSE(Fixed3(-std::numeric_limits<double>::infinity()).empty());
    EXPECT_FALSE(Fixed3(std::nan("")).empty());
}

}  // namespace
}  // namespace morvik
