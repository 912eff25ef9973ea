// One PDF holding the reports of a job, one after another.
#ifndef RG_TOOLS_COMBINEDPDF_H
#define RG_TOOLS_COMBINEDPDF_H

#include <string>
#include <vector>

// Every page of each report in the order given, so each report starts on a new page and
// keeps its text. The document information (title, creator, creation date) is the first
// report's. Written beside the target and renamed into place once complete, as the library
// writes every PDF.
class CCombinedPdf
{
public:
    // False, with why in error, when a report cannot be read or the file cannot be written.
    static bool Write(
        const std::vector<std::string>& reports, const std::string& target, std::string& error);
};

#endif
