// The exported calls that put a page out: RenderReport, CreateReport, GenerateReportHtml.
#include <ReportGenerator/RenderReport.h>
#include <ReportGenerator/ReportGenerator.h>

#include "LogTrace.h"
#include "io/RegularFile.h"
#include "io/ReplacingFile.h"
#include "render/PdfReportFile.h"
#include "report/ReportPaths.h"
#include "report/StagingPage.h"
#include "report/StagingPageLock.h"

#include <QString>

#include <cerrno>
#include <string>
#include <unistd.h>

namespace {

const char* const CREATE_REPORT = "CreateReport";

const char* const GENERATE_REPORT_HTML = "GenerateReportHtml";
// Far beyond any report page; a larger source is refused rather than read into memory.
constexpr qint64 PAGE_SIZE_LIMIT = 256 * 1024 * 1024;

bool readSource(const char* pcHtmlFilename, QByteArray& page)
{
    if (!pcHtmlFilename) {
        RG_LOG(LOG_ERR, "%s::HTML file name is NULL", GENERATE_REPORT_HTML);
        return false;
    }
    CRegularFile source(pcHtmlFilename);
    if (!source.IsOpen() || !source.ReadAll(page, PAGE_SIZE_LIMIT)) {
        RG_LOG(LOG_ERR, "%s::<ERROR %d>::Fail to read file %s: %s", GENERATE_REPORT_HTML,
            source.Error(), pcHtmlFilename, source.Reason().c_str());
        return false;
    }
    return true;
}

bool writeStagingPage(const QByteArray& page)
{
    CReplacingFile staging(STAGING_PAGE_PATH);
    if (!staging.Open() || !staging.Write(page.constData(), static_cast<size_t>(page.size()))
        || !staging.Commit()) {
        RG_LOG(LOG_ERR, "%s::<ERROR %d>::Fail to write file %s", GENERATE_REPORT_HTML,
            staging.Error(), staging.Described().c_str());
        return false;
    }
    CStagingPage::NoteWrittenByThisProcess();
    return true;
}

// The name is taken as bytes, whatever it holds, and no shell reads it. The source is read
// whole before the staging page is replaced, so a source that is the staging page itself
// survives.
bool copyToStagingPage(const char* pcHtmlFilename)
{
    QByteArray page;
    return readSource(pcHtmlFilename, page) && writeStagingPage(page);
}

} // namespace

extern "C" int SetReportPageSize(int iPageSize)
{
    if (iPageSize != REPORT_PAGE_LETTER && iPageSize != REPORT_PAGE_A4)
        return -1;
    CPdfReportFile::SetPageSize(iPageSize == REPORT_PAGE_A4 ? QPageSize::A4 : QPageSize::Letter);
    return 0;
}

extern "C" int RenderReport(const char* pcOutputFilename, int iFormatType)
{
    CRenderReport renderer(
        pcOutputFilename ? QString::fromUtf8(pcOutputFilename) : QString(), nullptr);
    return renderer.OutputReport(iFormatType);
}

extern "C" int CreateReport(const char* pcHtmlTemplateFilename, const char* pcLanguage,
    const char* pcXmlHdcCheckerResult, const char* pcXmlCustomerInfo, const char* pcImageLowMagPath,
    const char* pcImageHighMagPath, int iFormatType, const char* pcOutputFilename)
{
    if (!pcOutputFilename) {
        RG_LOG(LOG_ERR, "%s::Output file name is NULL", CREATE_REPORT);
        return 1;
    }
    // From the page written to the page loaded, no other process touches it.
    const CStagingPageLock use;
    const std::string outputFilename = pcOutputFilename;
    const int result = CreateReportHtml(pcHtmlTemplateFilename, pcLanguage, pcXmlHdcCheckerResult,
        pcXmlCustomerInfo, pcImageLowMagPath, pcImageHighMagPath);
    if (result != 0)
        return result;
    CReportPaths paths;
    if (!paths.ReadWorkingDirectory()) {
        RG_LOG(LOG_ERR, "%s::<ERROR %d>::Fail to read the working directory", CREATE_REPORT, errno);
        return -1;
    }
    return RenderReport(paths.Resolve(outputFilename).c_str(), iFormatType);
}

extern "C" int GenerateReportHtml(
    const char* pcHtmlFilename, const char* pcOutputFilename, int iFormatType)
{
    const CStagingPageLock use;
    if (!CStagingPageLock::Acquire(GENERATE_REPORT_HTML))
        return -1;
    // An earlier report's page must never go out in place of the one asked for; unlink
    // removes no directory.
    if (!copyToStagingPage(pcHtmlFilename)) {
        unlink(STAGING_PAGE_PATH);
        return -1;
    }
    return RenderReport(pcOutputFilename, iFormatType);
}
