#include "JobFile.h"

#include "CsvTable.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>

namespace {

struct Column
{
    const char* name;
    std::string ReportFiles::*field;
    bool required;
};

const Column COLUMNS[] = {
    { "customer", &ReportFiles::customerFile, true },
    { "results", &ReportFiles::resultsFile, true },
    { "low-mag", &ReportFiles::lowMagImage, true },
    { "high-mag", &ReportFiles::highMagImage, true },
    { "output", &ReportFiles::output, true },
    { "language", &ReportFiles::language, false },
    { "template", &ReportFiles::templateFile, false },
};

// Header names as people type them: blanks around them and capitals do not count.
std::string normalised(const std::string& name)
{
    const size_t first = name.find_first_not_of(" \t");
    const size_t last = name.find_last_not_of(" \t");
    std::string text = first == std::string::npos ? "" : name.substr(first, last - first + 1);
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

const Column* columnNamed(const std::string& name)
{
    for (const Column& column : COLUMNS) {
        if (name == column.name)
            return &column;
    }
    return nullptr;
}

} // namespace

bool CJobFile::Read(const std::string& path, const ReportFiles& defaults)
{
    std::ifstream file(path, std::ios::binary);
    const std::string text(std::istreambuf_iterator<char>(file), {});
    CCsvTable table;
    if (!file || file.bad()) {
        m_error = "cannot read the job file " + path;
        return false;
    }
    if (!table.Parse(text) || table.Rows().empty()) {
        m_error = path + ": " + (table.Rows().empty() ? "no header row" : table.Error());
        return false;
    }
    const size_t slash = path.rfind('/');
    m_directory = slash == std::string::npos ? "." : path.substr(0, slash);
    if (!ReadHeader(table.Rows().front())) {
        m_error = path + ": " + m_error;
        return false;
    }
    // A second row writing the same PDF would replace the first one's report.
    std::map<std::string, int> writers;
    for (size_t i = 1; i < table.Rows().size(); ++i) {
        Row row = MakeRow(table.Rows()[i], table.Lines()[i], defaults);
        const std::string pdf = PdfName(row.files.output);
        if (row.problem.empty() && !writers.emplace(pdf, row.line).second)
            row.problem = pdf + " is also the output of line " + std::to_string(writers[pdf]);
        m_rows.push_back(row);
    }
    return true;
}

bool CJobFile::ReadHeader(const std::vector<std::string>& header)
{
    for (const std::string& name : header) {
        const Column* column = columnNamed(normalised(name));
        if (!column) {
            m_error = "unknown column '" + name + "'";
            return false;
        }
        m_columns.push_back(column->field);
    }
    for (const Column& column : COLUMNS) {
        if (column.required
            && std::find(m_columns.begin(), m_columns.end(), column.field) == m_columns.end()) {
            m_error = std::string("no column ") + column.name;
            return false;
        }
    }
    return true;
}

// Names from the row are relative to the job file; the defaults are as the command line
// gave them.
CJobFile::Row CJobFile::MakeRow(
    const std::vector<std::string>& fields, int line, const ReportFiles& defaults) const
{
    Row row { line, defaults, {} };
    if (fields.size() != m_columns.size())
        row.problem = std::to_string(fields.size()) + " fields where the header has "
            + std::to_string(m_columns.size());
    for (size_t i = 0; i < fields.size() && i < m_columns.size(); ++i) {
        if (!fields[i].empty())
            row.files.*m_columns[i] =
                m_columns[i] == &ReportFiles::language ? fields[i] : Resolve(fields[i]);
    }
    for (const Column& column : COLUMNS) {
        if (row.problem.empty() && column.field != &ReportFiles::language
            && (row.files.*column.field).empty())
            row.problem = std::string("no ") + column.name;
    }
    return row;
}

std::string CJobFile::Resolve(const std::string& name) const
{
    return name[0] == '/' ? name : m_directory + "/" + name;
}
