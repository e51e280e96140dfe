// SPDX-License-Identifier: GPL-3.0-or-later
// Comma-separated text as other programs and spreadsheets write it: quoting, line breaks,
// byte-order mark, delimiters, and the texts that are no CSV at all.

#include "model/csv_text.hpp"

#include <gtest/gtest.h>

namespace kestra {
namespace {

using Fields = std::vector<std::string>;

std::vector<CsvRecord> Parse(std::string_view text, char delimiter = ',') {
    std::string error;
    auto records = ParseCsv(text, delimiter, error);
    EXPECT_TRUE(records.has_value()) << error;
    return records.value_or(std::vector<CsvRecord>{});
}

TEST(CsvText, QuotedFieldsKeepDelimitersQuotesAndLineBreaks) {
    const auto records =
        Parse("Name,Comment\n\"A, B\",\"say \"\"hi\"\"\"\n\"two\nlines\",x\nlast,\"\"\n");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1].fields, (Fields{"A, B", "say \"hi\""}));
    EXPECT_EQ(records[2].fields, (Fields{"two\nlines", "x"}));
    EXPECT_EQ(records[3].fields, (Fields{"last", ""}));
    // Each record knows the line it starts on, counting the break inside the quotes.
    EXPECT_EQ(records[2].line, 3);
    EXPECT_EQ(records[3].line, 5);
}

TEST(CsvText, LineEndsByteOrderMarkAndEmptyRows) {
    // CRLF, a lone CR and LF all end a record; the UTF-8 mark is not part of the first field;
    // blank lines and rows of nothing but commas (a spreadsheet's tail) are left out.
    const auto records = Parse("\xEF\xBB\xBFLocation,Name\r\n1,A\r2,B\n\n,,\r\n3,C");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].fields, (Fields{"Location", "Name"}));
    EXPECT_EQ(records[1].fields, (Fields{"1", "A"}));
    EXPECT_EQ(records[2].fields, (Fields{"2", "B"}));
    EXPECT_EQ(records[3].fields, (Fields{"3", "C"}));
    EXPECT_EQ(records[3].line, 6);
}

TEST(CsvText, TextThatIsNoCsvIsRefusedWithTheReason) {
    std::string error;
    EXPECT_FALSE(ParseCsv("a,b\n\"open,c\nd,e\n", ',', error));
    EXPECT_EQ(error, "line 2: a quoted field is never closed");
    EXPECT_FALSE(ParseCsv(std::string_view("PK\x03\x04\0\0", 6), ',', error));
    EXPECT_NE(error.find("NUL"), std::string::npos);
}

TEST(CsvText, DelimiterIsTheOneTheFirstLineUses) {
    EXPECT_EQ(GuessCsvDelimiter("Location,Name,Frequency\n1\t2\t3\t4\n"), ',');
    EXPECT_EQ(GuessCsvDelimiter("\n\nLocation\tName\tFrequency\n"), '\t');
    EXPECT_EQ(GuessCsvDelimiter("\xEF\xBB\xBFLocation;Name;Frequency\r\n"), ';');
    // Commas inside quotes do not count.
    EXPECT_EQ(GuessCsvDelimiter("\"a,b,c,d\";x;y\n"), ';');
    EXPECT_EQ(GuessCsvDelimiter("Frequency\n"), ',');
    EXPECT_EQ(Parse("1\t\"a\tb\"\tc", '\t')[0].fields, (Fields{"1", "a\tb", "c"}));
}

TEST(CsvText, FieldsAreQuotedOnlyWhenTheyMustBeAndReadBackUnchanged) {
    EXPECT_EQ(CsvField("RPT N"), "RPT N");
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("A,B"), "\"A,B\"");
    EXPECT_EQ(CsvField("5\"X"), "\"5\"\"X\"");
    EXPECT_EQ(CsvField(" AB"), "\" AB\"");
    const std::string tricky = " a\"b,c\nd ";
    EXPECT_EQ(Parse(CsvField(tricky) + "," + CsvField("x"))[0].fields, (Fields{tricky, "x"}));
}

}  // namespace
}  // namespace kestra
