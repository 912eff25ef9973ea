// render-report: renders inspection reports from files, one or a job of them, or lists a
// template's labels.
#include "JobRunner.h"
#include "LabelCatalogTemplate.h"
#include "ReportFiles.h"
#include "ToolOptions.h"

#include <ReportGenerator/ReportGenerator.h>

#include <fstream>
#include <iostream>

namespace {

int fail(int status, const std::string& message)
{
    std::cerr << "render-report: " << message << "\n";
    if (status == EXIT_BAD_ARGUMENTS)
        std::cerr << "Try 'render-report --help'.\n";
    return status;
}

int writeLabels(const CToolOptions& options)
{
    CLabelCatalogTemplate catalog(options.files.templateFile);
    if (!catalog.Read())
        return fail(EXIT_BAD_ARGUMENTS, "cannot read the template " + options.files.templateFile);
    if (options.files.output.empty()) {
        std::cout << catalog.Text();
        return std::cout.good() ? EXIT_DONE : EXIT_RENDER_FAILED;
    }
    std::ofstream file(options.files.output, std::ios::binary | std::ios::trunc);
    file << catalog.Text();
    file.close();
    if (!file)
        return fail(EXIT_RENDER_FAILED, "cannot write " + options.files.output);
    return EXIT_DONE;
}

int makeReports(const CToolOptions& options)
{
    if (!options.localeDir.empty() || !options.package.empty())
        SetTextDomain(options.package.empty() ? nullptr : options.package.c_str(),
            options.localeDir.empty() ? nullptr : options.localeDir.c_str());
    SetReportPageSize(options.pageSize);
    if (!options.jobFile.empty())
        return CJobRunner(options).Run();
    std::string reason;
    const int status = MakeReport(options.files, options.format, reason);
    return status == EXIT_DONE ? status : fail(status, reason);
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
    return options.listLabels ? writeLabels(options) : makeReports(options);
}
