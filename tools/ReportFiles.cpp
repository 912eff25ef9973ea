#include "ReportFiles.h"

#include "ToolOptions.h"

#include <ReportGenerator/ReportGenerator.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

// Regular files only: opening a FIFO would wait for a writer forever.
bool readFile(const std::string& path, std::string& contents)
{
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    contents.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// The page is rendered from the staging directory, where a relative name would point
// elsewhere: files are handed over by their absolute names.
std::string absolute(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

} // namespace

std::string PdfName(const std::string& output)
{
    const bool hasSuffix = output.size() >= 4 && output.compare(output.size() - 4, 4, ".pdf") == 0;
    return hasSuffix ? output : output + ".pdf";
}

int MakeReport(const ReportFiles& files, int format, std::string& reason)
{
    std::string customer;
    std::string results;
    for (const auto& [path, text] : { std::pair { &files.customerFile, &customer },
             std::pair { &files.resultsFile, &results } }) {
        if (!readFile(*path, *text)) {
            reason = "cannot read " + *path + ": " + std::strerror(errno);
            return EXIT_BAD_ARGUMENTS;
        }
    }
    const int result = CreateReport(absolute(files.templateFile).c_str(),
        files.language.empty() ? nullptr : files.language.c_str(), results.c_str(),
        customer.c_str(), absolute(files.lowMagImage).c_str(), absolute(files.highMagImage).c_str(),
        format, files.output.c_str());
    if (result == 1)
        reason = "the report page could not be built from " + files.templateFile + " (see the log)";
    else if (result != 0)
        reason = "the report could not be rendered to " + PdfName(files.output) + " (see the log)";
    return result == 0 ? EXIT_DONE : result == 1 ? EXIT_PAGE_FAILED : EXIT_RENDER_FAILED;
}
