#include "settings/DataExchange.h"

#include <gtest/gtest.h>

TEST(FieldNumbers, ShowUpToFifteenSignificantDigitsInTheShortestForm) {
    EXPECT_EQ(FormatNumber(60.0), "60");
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(1.0 / 3.0), "0.333333333333333");
}

// A number is read from the start of the field, after blanks and one plus sign; what follows it
// is ignored. A refused field leaves the value as it was.
TEST(FieldNumbers, NumberFieldsAreReadFromTheirStartAndHeldToTheirRange) {
    const std::string notANumber = "Please enter a number.";
    const std::string range = "Please enter a number between 1 and 300.";
    struct Case {
        const char* text;
        std::string message;
        double value; // read when the message is empty
    };
    const Case cases[] = {
        {"1", "", 1},           {"300", "", 300},        {"0.99", range, 0}, {"300.5", range, 0},
        {"abc", notANumber, 0}, {"", notANumber, 0},     {"62kg", "", 62},   {"  72.5", "", 72.5},
        {"+80", "", 80},        {"kg62", notANumber, 0},
    };
    for (const Case& c : cases) {
        double value = -123.0;
        EXPECT_EQ(ReadNumber(c.text, 1, 300, value), c.message) << c.text;
        EXPECT_EQ(value, c.message.empty() ? c.value : -123.0) << c.text;
    }
    double value = 0;
    EXPECT_EQ(ReadNumber("5", 0.5, 2.25, value), "Please enter a number between 0.5 and 2.25.");
}

TEST(FieldNumbers, IntegerFieldsTakeTheLeadingIntegerWithoutRange) {
    struct Case {
        const char* text;
        bool read;
        int value;
    };
    const Case cases[] = {{"0", true, 0},   {"-5", true, -5},  {"60s", true, 60},
                          {" +3", true, 3}, {"abc", false, 0}, {"", false, 0},
                          {"-", false, 0},  {"+-3", false, 0}, {"99999999999", true, 2147483647},
                          {"7.9", true, 7}};
    for (const Case& c : cases) {
        int value = -1;
        EXPECT_EQ(ReadInteger(c.text, value), c.read ? "" : "Please enter an integer.") << c.text;
        EXPECT_EQ(value, c.read ? c.value : -1) << c.text;
    }
}
