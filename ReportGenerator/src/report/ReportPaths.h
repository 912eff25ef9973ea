// The path buffers of one report call and the rule that resolves names against the working
// directory.
#ifndef REPORTGENERATOR_REPORTPATHS_H
#define REPORTGENERATOR_REPORTPATHS_H

#include <cstddef>
#include <string>

// Template path, working directory and template directory, each in a fixed buffer of
// PATH_BUFFER_SIZE bytes. A path that does not fit is refused, never cut.
class CReportPaths
{
public:
    static constexpr size_t PATH_BUFFER_SIZE = 256;
    static constexpr size_t PATH_MAX_LENGTH = PATH_BUFFER_SIZE - 1;

    CReportPaths();

    // False when the name is longer than PATH_MAX_LENGTH.
    bool SetTemplate(const char* pcTemplate);
    bool TemplateExists() const;
    // False, with errno set by getcwd, when the working directory cannot be stored.
    bool ReadWorkingDirectory();
    // The directory that holds the template's own images, with its trailing '/': the working
    // directory for "./name" and bare names, else the template path up to its last '/'.
    // False when it is longer than PATH_MAX_LENGTH.
    bool DeriveTemplateDirectory();
    // Appends a file name to the template directory; false, and nothing appended, when the
    // result would be longer than PATH_MAX_LENGTH.
    bool AppendToTemplateDirectory(const char* name);

    // "./name" and bare names are taken relative to the working directory; absolute paths
    // and relative ones with a directory stay as they are.
    std::string Resolve(const std::string& path) const;

    char* Template() { return m_acHtmlFilenameTemplate; }
    const char* WorkingDirectory() const { return m_acCwd; }
    const char* TemplateDirectory() const { return m_acPathnameTemplate; }

private:
    char m_acHtmlFilenameTemplate[PATH_BUFFER_SIZE];
    char m_acCwd[PATH_BUFFER_SIZE];
    char m_acPathnameTemplate[PATH_BUFFER_SIZE];
};

#endif
