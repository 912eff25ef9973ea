#include "report/ReportPaths.h"

#include <cstring>
#include <unistd.h>

namespace {

bool beginsWithDotSlash(const char* path)
{
    return strncmp(path, "./", 2) == 0;
}

// Copies the concatenation of head and tail into buffer when it fits.
bool storeJoined(char (&buffer)[CReportPaths::PATH_BUFFER_SIZE], const char* head,
    size_t headLength, const char* tail)
{
    const size_t tailLength = strlen(tail);
    if (headLength + tailLength > CReportPaths::PATH_MAX_LENGTH)
        return false;
    memmove(buffer, head, headLength);
    memcpy(buffer + headLength, tail, tailLength + 1);
    return true;
}

} // namespace

CReportPaths::CReportPaths()
    : m_acHtmlFilenameTemplate()
    , m_acCwd()
    , m_acPathnameTemplate()
{ }

bool CReportPaths::SetTemplate(const char* pcTemplate)
{
    return storeJoined(m_acHtmlFilenameTemplate, pcTemplate, strlen(pcTemplate), "");
}

bool CReportPaths::TemplateExists() const
{
    return access(m_acHtmlFilenameTemplate, F_OK) == 0;
}

bool CReportPaths::ReadWorkingDirectory()
{
    return getcwd(m_acCwd, sizeof m_acCwd) != nullptr;
}

bool CReportPaths::DeriveTemplateDirectory()
{
    const char* lastSlash = strrchr(m_acHtmlFilenameTemplate, '/');
    if (beginsWithDotSlash(m_acHtmlFilenameTemplate) || !lastSlash)
        return storeJoined(m_acPathnameTemplate, m_acCwd, strlen(m_acCwd), "/");
    const size_t directoryLength = lastSlash + 1 - m_acHtmlFilenameTemplate;
    return storeJoined(m_acPathnameTemplate, m_acHtmlFilenameTemplate, directoryLength, "");
}

bool CReportPaths::AppendToTemplateDirectory(const char* name)
{
    return storeJoined(
        m_acPathnameTemplate, m_acPathnameTemplate, strlen(m_acPathnameTemplate), name);
}

std::string CReportPaths::Resolve(const std::string& path) const
{
    if (path.compare(0, 2, "./") == 0)
        return m_acCwd + path.substr(1);
    if (path.find('/') == std::string::npos)
        return m_acCwd + ("/" + path);
    return path;
}
