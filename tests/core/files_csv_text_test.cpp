#include "core/files/CsvText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FieldCase {
    std::string text;
    std::string field;
};

// Quoted only when a separator, a quote or a line break would otherwise end the field early.
TEST(CsvText, FieldsAreQuotedOnlyWhenTheyMustBe) {
    const FieldCase cases[] = {
        {"", ""},
        {"-3.0dB", "-3.0dB"},
        {"Driver Type\xEF\xBC\x9A", "Driver Type\xEF\xBC\x9A"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"line\r\nnext", "\"line\r\nnext\""},
        {"cr\r", "\"cr\r\""},
        {"lf\n", "\"lf\n\""},
        {" padded ", " padded "},
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(CsvText::Field(c.text), c.field) << c.text;
    }
}

TEST(CsvText, HeaderRowFirstAndEveryLineEndedByCrLf) {
    const std::string text = CsvText::Table({"PROG,1", "Input A", "Out1"},
                                            {{"Name", "kick", ""}, {}, {"Gain", "0.0dB", "x\"y"}});
    EXPECT_EQ(text, "\"PROG,1\",Input A,Out1\r\n"
                    "Name,kick,\r\n"
                    "\r\n"
                    "Gain,0.0dB,\"x\"\"y\"\r\n");
}

} // namespace
