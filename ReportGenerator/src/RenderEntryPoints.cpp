// The exported calls that put a page out: RenderReport, CreateReport, GenerateReportHtml.
#include <ReportGenerator/RenderReport.h>
#include <ReportGenerator/ReportGenerator.h>

#include "LogTrace.h"
#include "ReportPaths.h"
#include "StagingPage.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

constexpr qint64 COPY_CHUNK = 64 * 1024;

bool copyInto(QFile& source, QSaveFile& staging)
{
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(COPY_CHUNK);
        if (chunk.isEmpty() || staging.write(chunk) != chunk.size())
            return false;
    }
    return source.error() == QFile::NoError;
}

// Byte for byte and without a shell, whatever the name holds. The staging page is replaced
// in one step, so a source that is the staging page itself survives.
bool copyToStagingPage(const char* pcHtmlFilename)
{
    if (!pcHtmlFilename) {
        RG_LOG(LOG_ERR, "%s::HTML file name is NULL", "GenerateReportHtml");
        return false;
    }
    QFile source(QFile::decodeName(pcHtmlFilename));
    QSaveFile staging(QStringLiteral(STAGING_PAGE_PATH));
    if (!source.open(QIODevice::ReadOnly) || !staging.open(QIODevice::WriteOnly)
        || !copyInto(source, staging) || !staging.commit()) {
        RG_LOG(LOG_ERR, "%s::Fail to copy \"%s\" to %s: %s", "GenerateReportHtml", pcHtmlFilename,
            STAGING_PAGE_PATH,
            (source.error() != QFile::NoError ? source.errorString() : staging.errorString())
                .toLatin1()
                .constData());
        return false;
    }
    return true;
}

} // namespace

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
        RG_LOG(LOG_ERR, "%s::Output file name is NULL", "CreateReport");
        return 1;
    }
    const std::string outputFilename = pcOutputFilename;
    const int result = CreateReportHtml(pcHtmlTemplateFilename, pcLanguage, pcXmlHdcCheckerResult,
        pcXmlCustomerInfo, pcImageLowMagPath, pcImageHighMagPath);
    if (result != 0)
        return result;
    CReportPaths paths;
    if (!paths.ReadWorkingDirectory()) {
        RG_LOG(
            LOG_ERR, "%s::<ERROR %d>::Fail to read the working directory", "CreateReport", errno);
        return -1;
    }
    return RenderReport(paths.Resolve(outputFilename).c_str(), iFormatType);
}

extern "C" int GenerateReportHtml(
    const char* pcHtmlFilename, const char* pcOutputFilename, int iFormatType)
{
    // An earlier report's page must never go out in place of the one asked for.
    if (!copyToStagingPage(pcHtmlFilename)) {
        remove(STAGING_PAGE_PATH);
        return -1;
    }
    return RenderReport(pcOutputFilename, iFormatType);
}
