#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "analysis/number_format.h"

namespace morvik {
namespace {

struct RawValueCase {
    double value;
    const char* withPoint;
    const char* withComma;
};

// The listing examples, then the edges of the rounding and of the two notations.
const RawValueCase kCases[] = {
    {2, "2", "2"},
    {-0.5, "-0.5", "-0,5"},
    {1500, "1500", "1500"},
    {0.0001, "0.0001", "0,0001"},
    {0.00001, "1E-5", "1E-5"},
    {1e15, "1E15", "1E15"},
    {1.0 / 3, "0.333333333333333", "0,333333333333333"},
    {1.2345678901234567e17, "1.23456789012346E17", "1,23456789012346E17"},
    {1500, "1500", "1500"},
    {-0.02, "-0.02", "-0,02"},
    {0.0, "0", "0"},
    {-0.0, "0", "0"},
    {1, "1", "1"},
    {-2.5e-7, "-2.5E-7", "-2,5E-7"},
    {1.5e300, "1.5E300", "1,5E300"},
    {-1e-300, "-1E-300", "-1E-300"},
    {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324", "4,94065645841247E-324"},
    {std::numeric_limits<double>::max(), "1.79769313486232E308", "1,79769313486232E308"},
    // Fixed notation ends below 1E15: the largest 15-digit integer still fits it.
    {999999999999999, "999999999999999", "999999999999999"},
    {123456789012345.6, "123456789012346", "123456789012346"},
    // Rounding to 15 digits decides the notation: this rounds up to 1E15.
    {999999999999999.5, "1E15", "1E15"},
    {999999999999999.4, "999999999999999", "999999999999999"},
    // A tie on the exact binary value goes away from zero, even from an even digit.
    {123456789012344.5, "123456789012345", "123456789012345"},
    {-123456789012344.5, "-123456789012345", "-123456789012345"},
    {0.125, "0.125", "0,125"},
    // Just below a tie: the exact value, not its shortest decimal form, is rounded.
    {std::nextafter(123456789012344.5, 0.0), "123456789012344", "123456789012344"},
    // Fixed notation starts at 0.0001 after rounding.
    {0.00009999999999999995, "0.0001", "0,0001"},
    {0.0000999999999999, "9.99999999999E-5", "9,99999999999E-5"},
    {0.00012345678901234567, "0.000123456789012346", "0,000123456789012346"},
    {0.1, "0.1", "0,1"},
    {100, "100", "100"},
    {1e14, "100000000000000", "100000000000000"},
    {12345678.9, "12345678.9", "12345678,9"},
    {9.5, "9.5", "9,5"},
    {0.3, "0.3", "0,3"},
    {2.0 / 3, "0.666666666666667", "0,666666666666667"},
    {-1e16, "-1E16", "-1E16"},
};

TEST(RawValueTest, ListingFormatWithPointAndComma) {
    for (const RawValueCase& c : kCases) {
        EXPECT_EQ(RawValue(c.value, "."), c.withPoint)
            << std::hexfloat << c.value << " (" << std::bit_cast<std::uint64_t>(c.value) << ")";
        EXPECT_EQ(RawValue(c.value, ","), c.withComma) << std::hexfloat << c.value;
    }
}

TEST(RawValueTest, SeparatorIsAnyUtf8String) {
    EXPECT_EQ(RawValue(-1.25, "\u066b"), "-1\u066b25");
    EXPECT_EQ(RawValue(1.25e-9, "\u066b"), "1\u066b25E-9");
    EXPECT_EQ(RawValue(7), "7");
    EXPECT_EQ(RawValue(0.5), "0.5");
}

}  // namespace
}  // namespace morvik
