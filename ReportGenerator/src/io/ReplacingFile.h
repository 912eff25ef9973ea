// The one way the library writes its output files: the staging page, its copy and PDFs.
#ifndef REPORTGENERATOR_REPLACINGFILE_H
#define REPORTGENERATOR_REPLACINGFILE_H

#include <sys/types.h>

#include <string>

// A file written beside its target under a temporary name and renamed over the target
// once complete: a failed write leaves the earlier file whole, and a symbolic link at the
// target is replaced, never followed. The target is respected as fopen would respect it:
// a regular file this process may not write is refused and left as it is, and a writable
// one in a directory that takes no new file is written in place. A directory, a FIFO or a
// device at the target is refused. Temporary names have a fixed length, so any target
// name that fits the file system works, and they read as what they are:
// ".ReportGenerator-XXXXXX.tmp".
class CReplacingFile
{
public:
    explicit CReplacingFile(const char* targetPath);
    ~CReplacingFile();
    CReplacingFile(const CReplacingFile&) = delete;
    CReplacingFile& operator=(const CReplacingFile&) = delete;

    // False, with Error() and Obstacle() set, when the file cannot be written.
    bool Open();
    // The path to write to (the temporary file, or the target when written in place).
    const std::string& WritingPath() const { return m_writingPath; }
    // False once a write has failed; later writes are skipped.
    bool Write(const void* bytes, size_t size);
    // Syncs and closes the file, gives it the target's mode (a new file the mode fopen
    // would give it) and renames it over the target. False on any failure, with the
    // target as it was unless it was written in place.
    bool Commit();

    // The errno value of the first failure, 0 when there was none.
    int Error() const { return m_error; }
    // When the target itself stood in the way: what is there and who owns it. Else empty.
    const std::string& Obstacle() const { return m_obstacle; }
    // The target, followed by ": " and the obstacle when there is one: the end of a log line.
    std::string Described() const;

private:
    bool Refuse(int error);
    bool OpenTemporary(mode_t mode);
    bool OpenInPlace();
    bool Fail();
    void Discard();

    std::string m_targetPath;
    std::string m_writingPath;
    int m_descriptor = -1;
    bool m_inPlace = false;
    mode_t m_mode = 0;
    int m_error = 0;
    std::string m_obstacle;
};

#endif
