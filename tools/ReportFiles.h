// One report made from files, as render-report makes it for the command line and for each
// row of a job.
#ifndef RG_TOOLS_REPORTFILES_H
#define RG_TOOLS_REPORTFILES_H

#include <string>

struct ReportFiles
{
    std::string templateFile;
    std::string language; // empty: the environment's language
    std::string customerFile;
    std::string resultsFile;
    std::string lowMagImage;
    std::string highMagImage;
    std::string output;
};

// Makes the report in the given format (REPORT_FORMAT_PDF...). Returns the tool's exit
// status (ToolOptions.h), with why it failed in reason.
int MakeReport(const ReportFiles& files, int format, std::string& reason);

// The file the library writes for an output name: ".pdf" appended unless it ends so.
std::string PdfName(const std::string& output);

#endif
