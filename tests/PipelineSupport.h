// Files, working directories and standard error for the tests that drive the report
// pipeline through the built library.
#ifndef RG_TESTS_PIPELINESUPPORT_H
#define RG_TESTS_PIPELINESUPPORT_H

#include "TempDir.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pipeline {

inline const char* const STAGING_PAGE = "/tmp/DomReportGenerator.htm";

inline std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

inline bool FileExists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Makes nested directories below base so that the deepest has a path of exactly length
// characters (at least base's length plus two); returns that path.
inline std::string MakeDirectoryOfLength(std::string path, size_t length)
{
    while (path.size() < length) {
        const size_t room = length - path.size() - 1;
        // Never leave a remainder of one character: a further level needs two.
        size_t segment = room > 200 ? 200 : room;
        if (room - segment == 1)
            --segment;
        path += "/" + std::string(segment, 'd');
        mkdir(path.c_str(), 0700);
    }
    return path;
}

// A fresh temporary directory that is the working directory while the object lives; the
// previous working directory comes back at the end, even when it is too long for a path
// buffer.
class ScopedWorkingDirectory
{
public:
    ScopedWorkingDirectory()
        : m_previous(open(".", O_RDONLY | O_DIRECTORY))
        , m_entered(chdir(m_directory.path().c_str()) == 0)
    { }
    ~ScopedWorkingDirectory()
    {
        if (m_previous >= 0 && fchdir(m_previous) == 0)
            close(m_previous);
    }
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

    // Empty when the directory could not be entered.
    std::string Path() const { return m_entered ? m_directory.path() : std::string(); }

private:
    TempDir m_directory;
    int m_previous;
    bool m_entered;
};

// What the process writes to its standard error (file descriptor 2) between construction
// and Text(); the log copies every emitted line there.
class StderrCapture
{
public:
    StderrCapture()
        : m_saved(dup(STDERR_FILENO))
        , m_file(tmpfile())
    {
        fflush(stderr);
        if (m_file)
            dup2(fileno(m_file), STDERR_FILENO);
    }
    ~StderrCapture() { Text(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Restores standard error and gives what was written to it.
    std::string Text()
    {
        if (m_saved >= 0) {
            fflush(stderr);
            dup2(m_saved, STDERR_FILENO);
            close(m_saved);
            m_saved = -1;
        }
        if (m_file) {
            std::ostringstream text;
            rewind(m_file);
            for (int c = fgetc(m_file); c != EOF; c = fgetc(m_file))
                text.put(static_cast<char>(c));
            fclose(m_file);
            m_file = nullptr;
            m_text = text.str();
        }
        return m_text;
    }

private:
    int m_saved;
    FILE* m_file;
    std::string m_text;
};

} // namespace pipeline

#endif
