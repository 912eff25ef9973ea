// The command line of render-report.
#ifndef RG_TOOLS_TOOLOPTIONS_H
#define RG_TOOLS_TOOLOPTIONS_H

#include "ReportFiles.h"

#include <string>

// Exit statuses: each failure its own.
enum ToolExit {
    EXIT_DONE = 0,
    EXIT_BAD_ARGUMENTS = 2,
    EXIT_PAGE_FAILED = 3,
    EXIT_RENDER_FAILED = 4,
    EXIT_JOB_INCOMPLETE = 5
};

class CToolOptions
{
public:
    // Reads the arguments; false, with the reason in Error(), when they do not make a call.
    bool Parse(int argc, char** argv);

    const std::string& Error() const { return m_error; }
    static const char* Usage();

    bool help = false;
    bool listLabels = false;
    bool quiet = false;
    // The report named on the command line; for a job, the rows' defaults.
    ReportFiles files;
    int format = 0;
    int pageSize = 0; // REPORT_PAGE_LETTER
    std::string localeDir;
    std::string package;
    std::string jobFile;
    std::string combinedFile;

private:
    bool Take(int option, const char* value);
    bool CheckComplete();

    std::string m_error;
};

#endif
