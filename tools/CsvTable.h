// A table read from comma-separated values, as a spreadsheet writes them.
#ifndef RG_TOOLS_CSVTABLE_H
#define RG_TOOLS_CSVTABLE_H

#include <string>
#include <vector>

// RFC 4180 as spreadsheets write it: fields in double quotes may hold commas, line ends and
// doubled quotes; lines end with LF or CR LF; a UTF-8 byte-order mark is skipped; empty lines
// are no rows. A few lines of our own rather than a dependency for so little.
class CCsvTable
{
public:
    // False, with Error(), when a quoted field is never closed.
    bool Parse(const std::string& text);

    const std::vector<std::vector<std::string>>& Rows() const { return m_rows; }
    // The line of the file on which each row begins, from 1.
    const std::vector<int>& Lines() const { return m_lines; }
    const std::string& Error() const { return m_error; }

private:
    void EndRow(std::vector<std::string>& row, std::string& field, int line);

    std::vector<std::vector<std::string>> m_rows;
    std::vector<int> m_lines;
    std::string m_error;
};

#endif
