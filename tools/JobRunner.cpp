#include "JobRunner.h"

#include "CombinedPdf.h"
#include "JobProgress.h"
#include "ToolOptions.h"

#include <ReportGenerator/ReportGenerator.h>

#include <iostream>

CJobRunner::CJobRunner(const CToolOptions& options)
    : m_options(options)
{ }

int CJobRunner::Run()
{
    CJobFile job;
    if (!job.Read(m_options.jobFile, m_options.files)) {
        std::cerr << "render-report: " << job.Error() << "\n";
        return EXIT_BAD_ARGUMENTS;
    }
    CJobProgress progress(static_cast<int>(job.Rows().size()), !m_options.quiet);
    m_progress = &progress;
    for (size_t i = 0; i < job.Rows().size(); ++i) {
        progress.Starting(static_cast<int>(i) + 1, PdfName(job.Rows()[i].files.output));
        RunRow(job.Rows()[i]);
    }
    progress.Clear();
    return Finish();
}

void CJobRunner::RunRow(const CJobFile::Row& row)
{
    if (!row.problem.empty())
        return Fail(row, row.problem);
    std::string reason;
    if (MakeReport(row.files, REPORT_FORMAT_PDF, reason) != EXIT_DONE)
        return Fail(row, reason);
    m_written.push_back(PdfName(row.files.output));
}

void CJobRunner::Fail(const CJobFile::Row& row, const std::string& reason)
{
    m_progress->Clear();
    std::cerr << "render-report: " << m_options.jobFile << ":" << row.line << ": " << reason
              << "\n";
    m_failedLines.push_back(row.line);
}

int CJobRunner::Finish()
{
    std::string error;
    const bool combined = m_options.combinedFile.empty() || m_written.empty()
        || CCombinedPdf::Write(m_written, PdfName(m_options.combinedFile), error);
    if (!combined)
        std::cerr << "render-report: the combined PDF " << m_options.combinedFile
                  << " was not written: " << error << "\n";
    std::cerr << "render-report: " << m_written.size() << " of "
              << m_written.size() + m_failedLines.size() << " reports written";
    if (!m_failedLines.empty()) {
        std::cerr << "; failed rows (lines of " << m_options.jobFile << "):";
        for (const int line : m_failedLines)
            std::cerr << " " << line;
    }
    std::cerr << "\n";
    return m_failedLines.empty() && combined ? EXIT_DONE : EXIT_JOB_INCOMPLETE;
}
