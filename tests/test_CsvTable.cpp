// The table of a job file, read as a spreadsheet writes comma-separated values.
#include "CsvTable.h"

#include "TableTest.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// text, rows (none for an error), the line of each row
const std::tuple<const char*, std::string, Rows, std::vector<int>> TABLES[] = {
    { "Plain", "a,b\nc,d\n", { { "a", "b" }, { "c", "d" } }, { 1, 2 } },
    { "CrLfAndNoLastLineEnd", "a,b\r\nc,d", { { "a", "b" }, { "c", "d" } }, { 1, 2 } },
    { "ByteOrderMark",
        "\xEF\xBB\xBF"
        "a\n",
        { { "a" } }, { 1 } },
    { "QuotedCommaQuoteAndLineEnd", "\"x, \"\"y\"\"\",\"two\nlines\"\nz\n",
        { { "x, \"y\"", "two\nlines" }, { "z" } }, { 1, 3 } },
    { "EmptyFieldsAndBlankLines", "a,,\n\n\r\n,b\n", { { "a", "", "" }, { "", "b" } }, { 1, 4 } },
    { "UnendedQuote", "a\n\"b,c\n", {}, {} }
};
TABLE_TEST(Table, CsvTable, GivesTheRowsAndLinesASpreadsheetWrote, TABLES)
{
    const auto& [name, text, rows, lines] = GetParam();
    CCsvTable table;
    EXPECT_EQ(table.Parse(text), !rows.empty());
    EXPECT_EQ(table.Rows(), rows.empty() ? Rows { { "a" } } : rows);
    EXPECT_EQ(table.Error(), rows.empty() ? "a quoted field that begins on line 2 never ends" : "");
    if (!rows.empty()) {
        EXPECT_EQ(table.Lines(), lines);
    }
}

} // namespace
