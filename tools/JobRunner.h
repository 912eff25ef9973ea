// render-report --job: every row of a job file in one process.
#ifndef RG_TOOLS_JOBRUNNER_H
#define RG_TOOLS_JOBRUNNER_H

#include "JobFile.h"

#include <string>
#include <vector>

class CJobProgress;
class CToolOptions;

// Renders the rows in order; a row that fails is reported with its line and reason and the
// job goes on. The last line says how many reports were written and which rows failed.
class CJobRunner
{
public:
    explicit CJobRunner(const CToolOptions& options);

    // The exit status: 0 only when every row made its report (and the combined PDF, when
    // asked for, was written).
    int Run();

private:
    void RunRow(const CJobFile::Row& row);
    void Fail(const CJobFile::Row& row, const std::string& reason);
    int Finish();

    const CToolOptions& m_options;
    CJobProgress* m_progress = nullptr;
    std::vector<std::string> m_written;
    std::vector<int> m_failedLines;
};

#endif
