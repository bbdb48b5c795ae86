#include "settings/DataExchange.h"

#include <gtest/gtest.h>

// A field is read from its start, after blanks and one plus sign, ignoring what follows; an integer
// beyond its type is its largest. A number outside its range is refused naming the range as the
// fields show numbers (up to fifteen significant digits), and a refused field keeps its value.
TEST(FieldNumbers, FieldsAreReadFromTheirStartAndHeldToTheirRange) {
    using Case = std::tuple<const char*, std::optional<double>, std::optional<int>>; // text, number, integer
    for (const auto& [text, number, integer] : {Case{"  +80", 80, 80},
                                                {"-", {}, {}},
                                                {"+-3", {}, {}},
                                                {"", {}, {}},
                                                {"99999999999", 99999999999.0, 2147483647}}) {
        double numberRead = -123.0;
        int integerRead = -1;
        EXPECT_EQ(ReadNumber(text, -1e12, 1e12, numberRead), number ? "" : "Please enter a number.") << text;
        EXPECT_EQ(numberRead, number.value_or(-123.0)) << text;
        EXPECT_EQ(ReadInteger(text, integerRead), integer ? "" : "Please enter an integer.") << text;
        EXPECT_EQ(integerRead, integer.value_or(-1)) << text;
    }
    double value = -123.0;
    EXPECT_EQ(ReadNumber("0", 1.0 / 3.0, 2.25, value),
              "Please enter a number between 0.333333333333333 and 2.25.");
    EXPECT_EQ(value, -123.0);
}
