#include "settings/DataExchange.h"

#include <gtest/gtest.h>

TEST(FieldNumbers, ShowUpToFifteenSignificantDigitsInTheShortestForm) {
    EXPECT_EQ(FormatNumber(60.0), "60");
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333333333333333");
}

// A field is read from its start, after blanks and one plus sign, and what follows the number is
// ignored; an integer beyond the type's range is its largest. A refused field keeps its value.
TEST(FieldNumbers, FieldsAreReadFromTheirStart) {
    struct Case {
        const char* text;
        std::optional<double> number;
        std::optional<int> integer;
    };
    const Case cases[] = {{"62kg", 62, 62}, {"  72.5", 72.5, 72}, {" +80", 80, 80},
                          {"-5", -5, -5},   {"kg62", {}, {}},     {"", {}, {}},
                          {"-", {}, {}},    {"+-3", {}, {}},      {"99999999999", 99999999999.0, 2147483647}};
    for (const Case& c : cases) {
        double number = -123.0;
        int integer = -1;
        EXPECT_EQ(ReadNumber(c.text, -1e12, 1e12, number), c.number ? "" : "Please enter a number.")
            << c.text;
        EXPECT_EQ(number, c.number.value_or(-123.0)) << c.text;
        EXPECT_EQ(ReadInteger(c.text, integer), c.integer ? "" : "Please enter an integer.") << c.text;
        EXPECT_EQ(integer, c.integer.value_or(-1)) << c.text;
    }
}

// The bounds belong to the range, and the refusal names them as the field shows numbers.
TEST(FieldNumbers, NumbersOutsideTheirRangeAreRefused) {
    for (const auto& [text, message] : {std::pair<const char*, std::string>{"1", ""},
                                        {"300", ""},
                                        {"0.99", "Please enter a number between 1 and 300."},
                                        {"300.5", "Please enter a number between 1 and 300."}}) {
        double value = -123.0;
        EXPECT_EQ(ReadNumber(text, 1, 300, value), message) << text;
        EXPECT_EQ(value, message.empty() ? std::stod(text) : -123.0) << text;
    }
    double value = 0;
    EXPECT_EQ(ReadNumber("5", 0.5, 2.25, value), "Please enter a number between 0.5 and 2.25.");
}
