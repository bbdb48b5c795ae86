#include "settings/DataExchange.h"

#include <climits>
#include <gtest/gtest.h>

// A field is read from its start, after blanks and one plus sign, and what follows the number is
// ignored; an integer beyond the type's range is its largest. A number outside its range is
// refused, naming the range as the fields show numbers: in the shortest form of up to fifteen
// significant digits. A refused field keeps its value.
TEST(FieldNumbers, FieldsAreReadFromTheirStartAndHeldToTheirRange) {
    struct Case {
        const char* text;
        std::optional<double> number;
        std::optional<int> integer;
    };
    const Case cases[] = {{"  +80", 80, 80},
                          {"-", {}, {}},
                          {"+-3", {}, {}},
                          {"", {}, {}},
                          {"99999999999", 99999999999.0, INT_MAX}};
    for (const Case& c : cases) {
        double number = -123.0;
        int integer = -1;
        EXPECT_EQ(ReadNumber(c.text, -1e12, 1e12, number), c.number ? "" : "Please enter a number.")
            << c.text;
        EXPECT_EQ(number, c.number.value_or(-123.0)) << c.text;
        EXPECT_EQ(ReadInteger(c.text, integer), c.integer ? "" : "Please enter an integer.") << c.text;
        EXPECT_EQ(integer, c.integer.value_or(-1)) << c.text;
    }
    double value = -123.0;
    EXPECT_EQ(ReadNumber("0.99", 1, 300, value), "Please enter a number between 1 and 300.");
    EXPECT_EQ(ReadNumber("0", 1.0 / 3.0, 2.25, value),
              "Please enter a number between 0.333333333333333 and 2.25.");
    EXPECT_EQ(value, -123.0);
}
