// CreateReportHtml: checks the arguments, resolves the paths and fills the template into
// the staging page.
#include "LogTrace.h"
#include "io/RegularFile.h"
#include "localisation/Languages.h"
#include "localisation/TextDomain.h"
#include "report/LibraryStrings.h"
#include "report/ReportPaths.h"
#include "report/StagingPage.h"
#include "report/StagingPageLock.h"

#include <ReportGenerator/HtmlReport.h>
#include <ReportGenerator/ReadMoFile.h>
#include <ReportGenerator/ReportGenerator.h>
#include <ReportGenerator/XmlParser.h>

#include <QFile>
#include <QImageReader>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <unistd.h>

namespace {

const char* const CREATE_REPORT_HTML = "CreateReportHtml";
// Every label lookup, the last one included, is followed by this pause.
const useconds_t LABEL_PAUSE_US = 10000;

// Arguments are logged before they are checked.
const char* textOrNull(const char* text)
{
    return text ? text : "(null)";
}

void logList(const char* kind, const QStringList& list)
{
    RG_LOG(LOG_DEBUG, "%s::\n\tSize=%d\n\t%s List=%s\n", CREATE_REPORT_HTML, list.size(), kind,
        list.join(QLatin1Char(',')).toLatin1().constData());
}

QStringList translatedLabels(CHtmlReport& page, CReadMoFile& catalog)
{
    QStringList labels;
    page.GetListLabels(labels);
    logList("LABEL", labels);
    QStringList translations;
    for (const QString& label : labels) {
        translations.append(QString::fromUtf8(catalog.text_lookup(label.toLatin1().constData())));
        usleep(LABEL_PAUSE_US);
    }
    return translations;
}

QStringList tags(CHtmlReport& page)
{
    QStringList tags;
    page.GetListTags(tags);
    logList("TAG", tags);
    return tags;
}

// An inspection image that cannot be shown still leaves a report, with a warning.
void warnIfNoImage(const std::string& path)
{
    CRegularFile file(path.c_str());
    QFile device;
    if (FILE* stream = file.TakeStream())
        device.open(stream, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    else
        RG_LOG(LOG_WARNING, "%s::<ERROR %d>::Inspection image %s cannot be read: %s",
            CREATE_REPORT_HTML, file.Error(), path.c_str(), file.Reason().c_str());
    if (device.isOpen() && !QImageReader(&device).size().isValid())
        RG_LOG(LOG_WARNING, "%s::Inspection image %s is not an image that can be decoded",
            CREATE_REPORT_HTML, path.c_str());
}

// The first two images are the inspection images; with three or more, the last one names
// a file beside the template. False when that file's path does not fit its buffer.
bool placeImages(QStringList& images, CReportPaths& paths)
{
    const int count = images.size();
    for (int index = 0; index < count; ++index) {
        const QByteArray item = images[index].toLatin1();
        RG_LOG(LOG_DEBUG, "%s::IMAGE List %d=%s", CREATE_REPORT_HTML, index, item.constData());
        if (index == 0) {
            warnIfNoImage(g_sImageLowMagPath);
            images[index] = QString::fromStdString(g_sImageLowMagPath);
        } else if (index == 1) {
            warnIfNoImage(g_sImageHighMagPath);
            images[index] = QString::fromStdString(g_sImageHighMagPath);
        } else if (index == count - 1) {
            if (!paths.AppendToTemplateDirectory(item.constData())) {
                RG_LOG(LOG_ERR, "%s::Image path %s%s is longer than %zu characters",
                    CREATE_REPORT_HTML, paths.TemplateDirectory(), item.constData(),
                    CReportPaths::PATH_MAX_LENGTH);
                return false;
            }
            images[index] = QString::fromUtf8(paths.TemplateDirectory());
        }
    }
    return true;
}

QString xmlDocument(const char* pcXmlHdcCheckerResult, const char* pcXmlCustomerInfo)
{
    const QString customerText = QString::fromUtf8(pcXmlCustomerInfo);
    RG_LOG(LOG_DEBUG, "%s::pcXmlCustomerInfo=\"%s\"", CREATE_REPORT_HTML, pcXmlCustomerInfo);
    const QString checkerText = QString::fromUtf8(pcXmlHdcCheckerResult);
    RG_LOG(
        LOG_DEBUG, "%s::pcXmlHdcCheckerResult=\"%s\"", CREATE_REPORT_HTML, pcXmlHdcCheckerResult);
    return QStringLiteral("<ReportGenerator>") + customerText + checkerText
        + QStringLiteral("</ReportGenerator>");
}

// A failed filling reports 1 so that nothing renders a page left by an earlier report. The
// page is written under the staging lock, which a surrounding CreateReport keeps until
// the page is loaded.
int fillPage(CHtmlReport& page, const QStringList& labels, const QStringList& tagValues,
    const QStringList& images)
{
    if (!CStagingPageLock::Acquire(CREATE_REPORT_HTML))
        return 1;
    const int result = page.GenerateReport(labels, tagValues, images);
    if (result == 0)
        CStagingPage::NoteWrittenByThisProcess();
    RG_LOG(LOG_DEBUG, "%s::GetCurrentSettingLanguage()=>\"%s\"", CREATE_REPORT_HTML,
        GetCurrentSettingLanguage());
    RG_LOG(LOG_DEBUG, "DONE\n");
    return result;
}

int assembleReport(
    CReportPaths& paths, const char* pcXmlHdcCheckerResult, const char* pcXmlCustomerInfo)
{
    char acStagingPage[] = STAGING_PAGE_PATH;
    CHtmlReport page(paths.Template(), acStagingPage);
    RG_LOG(LOG_DEBUG, "%s::PACKAGE=\"%s\" DIR=\"%s\"", CREATE_REPORT_HTML, g_sPackage.c_str(),
        g_sDir.c_str());
    CReadMoFile catalog(CatalogPath(g_sLanguage).c_str());
    const QStringList labels = translatedLabels(page, catalog);
    const QStringList tagNames = tags(page);
    QStringList images;
    page.GetListImages(images);
    logList("IMAGE", images);
    if (!placeImages(images, paths))
        return 1;
    CXmlParser parser;
    const QString document = xmlDocument(pcXmlHdcCheckerResult, pcXmlCustomerInfo);
    QStringList tagValues;
    if (!parser.GetTagsData(document, tagNames, tagValues)) {
        RG_LOG(LOG_DEBUG, "%s::XML parser error", CREATE_REPORT_HTML);
        return 1;
    }
    return fillPage(page, labels, tagValues, images);
}

void setLanguage(const char* pcLanguage)
{
    g_sLanguage = pcLanguage ? pcLanguage : GetCurrentSettingLanguage();
    RG_LOG(LOG_DEBUG, "%s::g_sLanguage=\"%s\"", CREATE_REPORT_HTML, g_sLanguage.c_str());
}

bool argumentsPresent(const char* pcXmlHdcCheckerResult, const char* pcXmlCustomerInfo,
    const char* pcImageLowMagPath, const char* pcImageHighMagPath)
{
    const struct
    {
        const char* argument;
        const char* complaint;
    } required[] = {
        { pcXmlHdcCheckerResult, "XML HDC Checker Buffer is NULL" },
        { pcXmlCustomerInfo, "XML Customer Info Buffer is NULL" },
        { pcImageLowMagPath, "Image for Low Magnification Path name is NULL" },
        { pcImageHighMagPath, "Image for High Magnification Path name is NULL" },
    };
    for (const auto& check : required) {
        if (!check.argument) {
            RG_LOG(LOG_ERR, "%s::%s", CREATE_REPORT_HTML, check.complaint);
            return false;
        }
    }
    return true;
}

bool locateTemplate(CReportPaths& paths, const char* pcHtmlTemplateFilename)
{
    if (!paths.SetTemplate(pcHtmlTemplateFilename)) {
        RG_LOG(LOG_ERR, "%s::Template File name %s is longer than %zu characters",
            CREATE_REPORT_HTML, pcHtmlTemplateFilename, CReportPaths::PATH_MAX_LENGTH);
        return false;
    }
    if (!paths.TemplateExists()) {
        RG_LOG(LOG_ERR, "%s::Template File %s NOT FOUND", CREATE_REPORT_HTML, paths.Template());
        return false;
    }
    RG_LOG(LOG_DEBUG, "%s::g_sImageLowMagPath=\"%s\" acHtmlFilenameTemplate=\"%s\"",
        CREATE_REPORT_HTML, g_sImageLowMagPath.c_str(), paths.Template());
    return true;
}

bool resolvePaths(CReportPaths& paths)
{
    if (!paths.ReadWorkingDirectory()) {
        RG_LOG(LOG_ERR, "%s::<ERROR %d>::Fail to read the working directory into %zu bytes",
            CREATE_REPORT_HTML, errno, CReportPaths::PATH_BUFFER_SIZE);
        return false;
    }
    if (!paths.DeriveTemplateDirectory()) {
        RG_LOG(LOG_ERR, "%s::Directory of template %s in %s is longer than %zu characters",
            CREATE_REPORT_HTML, paths.Template(), paths.WorkingDirectory(),
            CReportPaths::PATH_MAX_LENGTH);
        return false;
    }
    g_sImageLowMagPath = paths.Resolve(g_sImageLowMagPath);
    g_sImageHighMagPath = paths.Resolve(g_sImageHighMagPath);
    RG_LOG(LOG_DEBUG,
        "%s::acCwd=\"%s\" acPathnameTemplate=\"%s\", g_sImageLowMagPath.c_str()=\"%s\"",
        CREATE_REPORT_HTML, paths.WorkingDirectory(), paths.TemplateDirectory(),
        g_sImageLowMagPath.c_str());
    return true;
}

} // namespace

extern "C" int CreateReportHtml(const char* pcHtmlTemplateFilename, const char* pcLanguage,
    const char* pcXmlHdcCheckerResult, const char* pcXmlCustomerInfo, const char* pcImageLowMagPath,
    const char* pcImageHighMagPath)
{
    const CStagingPageLock use;
    RG_LOG(LOG_DEBUG,
        "%s::\n\tpcHtmlTemplateFilename=\"%s\"\n\tpcLanguage=\"%s\"\n\tpcImageLowMagPath=\"%s\"\n\t"
        "pcImageHighMagPath=\"%s\"",
        CREATE_REPORT_HTML, textOrNull(pcHtmlTemplateFilename), textOrNull(pcLanguage),
        textOrNull(pcImageLowMagPath), textOrNull(pcImageHighMagPath));
    if (!pcHtmlTemplateFilename) {
        RG_LOG(LOG_ERR, "%s::HTML Template file is NULL", CREATE_REPORT_HTML);
        return 1;
    }
    setLanguage(pcLanguage);
    if (!argumentsPresent(
            pcXmlHdcCheckerResult, pcXmlCustomerInfo, pcImageLowMagPath, pcImageHighMagPath))
        return 1;
    g_sImageLowMagPath = pcImageLowMagPath;
    g_sImageHighMagPath = pcImageHighMagPath;
    CReportPaths paths;
    if (!locateTemplate(paths, pcHtmlTemplateFilename) || !resolvePaths(paths))
        return 1;
    return assembleReport(paths, pcXmlHdcCheckerResult, pcXmlCustomerInfo);
}
