// render-report: renders an inspection report from files, or lists a template's labels.
#include "LabelCatalogTemplate.h"
#include "ToolOptions.h"

#include <ReportGenerator/ReportGenerator.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sys/stat.h>

namespace {

int fail(int status, const std::string& message)
{
    std::cerr << "render-report: " << message << "\n";
    if (status == EXIT_BAD_ARGUMENTS)
        std::cerr << "Try 'render-report --help'.\n";
    return status;
}

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

int writeLabels(const CToolOptions& options)
{
    CLabelCatalogTemplate catalog(options.templateFile);
    if (!catalog.Read())
        return fail(EXIT_BAD_ARGUMENTS, "cannot read the template " + options.templateFile);
    if (options.output.empty()) {
        std::cout << catalog.Text();
        return std::cout.good() ? EXIT_DONE : EXIT_RENDER_FAILED;
    }
    std::ofstream file(options.output, std::ios::binary | std::ios::trunc);
    file << catalog.Text();
    file.close();
    if (!file)
        return fail(EXIT_RENDER_FAILED, "cannot write " + options.output);
    return EXIT_DONE;
}

int renderReport(const CToolOptions& options)
{
    std::string customer;
    std::string results;
    if (!readFile(options.customerFile, customer))
        return fail(EXIT_BAD_ARGUMENTS,
            "cannot read " + options.customerFile + ": " + std::strerror(errno));
    if (!readFile(options.resultsFile, results))
        return fail(
            EXIT_BAD_ARGUMENTS, "cannot read " + options.resultsFile + ": " + std::strerror(errno));
    if (!options.localeDir.empty() || !options.package.empty())
        SetTextDomain(options.package.empty() ? nullptr : options.package.c_str(),
            options.localeDir.empty() ? nullptr : options.localeDir.c_str());

    const int result = CreateReport(absolute(options.templateFile).c_str(),
        options.language.empty() ? nullptr : options.language.c_str(), results.c_str(),
        customer.c_str(), absolute(options.lowMagImage).c_str(),
        absolute(options.highMagImage).c_str(), options.format, options.output.c_str());
    if (result == 1)
        return fail(EXIT_PAGE_FAILED,
            "the report page could not be built from " + options.templateFile + " (see the log)");
    if (result != 0)
        return fail(EXIT_RENDER_FAILED, "the report could not be rendered (see the log)");
    return EXIT_DONE;
}

} // namespace

int main(int argc, char** argv)
{
    CToolOptions options;
    if (!options.Parse(argc, argv))
        return fail(EXIT_BAD_ARGUMENTS, options.Error());
    if (options.help) {
        std::cout << CToolOptions::Usage();
        return EXIT_DONE;
    }
    return options.listLabels ? writeLabels(options) : renderReport(options);
}
