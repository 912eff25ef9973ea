#include "CsvTable.h"

#include <utility>

namespace {

const std::string BYTE_ORDER_MARK = "\xEF\xBB\xBF";

} // namespace

bool CCsvTable::Parse(const std::string& text)
{
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    int line = 1;
    int rowLine = 1;
    const size_t start = text.compare(0, 3, BYTE_ORDER_MARK) == 0 ? 3 : 0;
    for (size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        line += c == '\n';
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"')
            field += text[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (quoted || (c != ',' && c != '\n' && c != '\r'))
            field += c;
        else if (c == ',')
            row.push_back(std::exchange(field, std::string()));
        else if (c == '\n')
            EndRow(row, field, std::exchange(rowLine, line));
    }
    if (quoted) {
        m_error = "a quoted field that begins on line " + std::to_string(rowLine) + " never ends";
        return false;
    }
    EndRow(row, field, rowLine);
    return true;
}

void CCsvTable::EndRow(std::vector<std::string>& row, std::string& field, int line)
{
    const bool empty = row.empty() && field.empty();
    row.push_back(std::exchange(field, std::string()));
    if (!empty) {
        m_rows.push_back(std::move(row));
        m_lines.push_back(line);
    }
    row.clear();
}
