// A job file: one report per row of a CSV table.
#ifndef RG_TOOLS_JOBFILE_H
#define RG_TOOLS_JOBFILE_H

#include "ReportFiles.h"

#include <string>
#include <vector>

// Columns customer, results, low-mag, high-mag and output, and optionally language and
// template, which override the command line's for their row; file names are relative to
// the job file's directory.
class CJobFile
{
public:
    struct Row
    {
        int line; // of the job file, where the row begins
        ReportFiles files;
        std::string problem; // why the row cannot be made, found before rendering
    };

    // False, with Error(), when the file cannot be read or its header is not a job's.
    // defaults gives the template and the language of the rows that name none.
    bool Read(const std::string& path, const ReportFiles& defaults);

    const std::vector<Row>& Rows() const { return m_rows; }
    const std::string& Error() const { return m_error; }

private:
    bool ReadHeader(const std::vector<std::string>& header);
    Row MakeRow(
        const std::vector<std::string>& fields, int line, const ReportFiles& defaults) const;
    std::string Resolve(const std::string& name) const;

    std::string m_directory;
    // The field of each column, in the order of the header.
    std::vector<std::string ReportFiles::*> m_columns;
    std::vector<Row> m_rows;
    std::string m_error;
};

#endif
