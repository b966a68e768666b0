#include "text/format.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace rel {
namespace {

struct TextCase {
    std::string got;
    std::string want;
};

TEST(Format, FixedAndScientific) {
    const std::vector<TextCase> cases = {
        {FormatFixed(1.5, 6, 3, ','), " 1,500"},
        {FormatFixed(2000.0, 7, 2, '.'), "2000.00"},
        {FormatFixed(-3.14159, 10, 5, '.', true), "-3.14159  "},
        {FormatFixed(12345.678, 4, 1, '.'), "12345.7"},
        {FormatFixed(std::nan(""), 6, 3, '.'), "   NAN"},
        {FormatSci(0.00012345678912, 12, 9, ','), "1,234567891E-004"},
        {FormatSci(-2.5, 12, 9, '.'), "-2.500000000E+000"},
        {FormatSci(1e-300, 12, 9, '.'), "1.000000000E-300"},
        {FormatSci(0.0, 12, 9, '.'), "0.000000000E+000"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(Format, GeneralText) {
    const std::vector<TextCase> cases = {
        {FormatGeneral(2500.0, '.'), "2500"},
        {FormatGeneral(350.5, ','), "350,5"},
        {FormatGeneral(0.1, '.'), "0.1"},
        {FormatGeneral(1.0 / 3.0, '.'), "0.333333333333333"},
        {FormatGeneral(-1234.5, '.'), "-1234.5"},
        {FormatGeneral(0.00001, '.'), "0.00001"},
        {FormatGeneral(1.5e-7, '.'), "1.5E-7"},
        {FormatGeneral(1e20, '.'), "1E20"},
        {FormatGeneral(123456789012345.0, '.'), "123456789012345"},
        {FormatGeneral(0.0, '.'), "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(Format, FixedWithPrecision) {
    const std::vector<TextCase> cases = {
        {FormatFloatFixed(2500.0, 3, 1, '.'), "2.5E3"},
        {FormatFloatFixed(2517.46, 3, 1, '.'), "2.52E3"},
        {FormatFloatFixed(2520.0, 3, 1, ','), "2,52E3"},
        {FormatFloatFixed(500.3, 3, 1, '.'), "500.0"},
        {FormatFloatFixed(500.0, 3, 1, '.'), "500.0"},
        {FormatFloatFixed(4.242640687, 3, 1, '.'), "4.2"},
        {FormatFloatFixed(4.242640687, 6, 3, '.'), "4.243"},
        {FormatFloatFixed(500.3, 6, 3, '.'), "500.300"},
        {FormatFloatFixed(2520.0, 6, 3, '.'), "2520.000"},
        {FormatFloatFixed(12345678.0, 6, 3, '.'), "1.23457E007"},
        {FormatFloatFixed(0.0, 3, 1, '.'), "0.0"},
        {FormatFloatFixed(-2500.0, 3, 1, '.'), "-2.5E3"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(Format, IntegerAndTime) {
    EXPECT_EQ(IntText(1278.04), "1278");
    EXPECT_EQ(IntText(2.5), "2");
    EXPECT_EQ(IntText(3.5), "4");
    EXPECT_EQ(IntText(-2.5), "-2");
    EXPECT_EQ(IntText(-0.4), "0");
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
    EXPECT_EQ(LongTimeText(10), "0:00:10");
    EXPECT_EQ(LongTimeText(3 * 3600 + 65), "3:01:05");
}

}  // namespace
}  // namespace rel
