#include "io/ReplacingFile.h"

#include "io/RegularFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char TEMPORARY_NAME[] = ".ReportGenerator-XXXXXX.tmp";
constexpr int TEMPORARY_SUFFIX_LENGTH = 4;

// The process's file mode creation mask, read without changing it where the kernel
// reports it, since another thread may be creating files meanwhile.
mode_t currentUmask()
{
    if (FILE* status = fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && fgets(line, sizeof line, status))
            found = sscanf(line, "Umask: %o", &mask) == 1;
        fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// In a sticky directory only the owner of a file (or of the directory) may rename over it.
bool stickyDirectoryKeepsFile(const std::string& directory, const struct stat& file)
{
    struct stat status;
    const uid_t self = geteuid();
    return stat(directory.c_str(), &status) == 0 && (status.st_mode & S_ISVTX) && self != 0
        && file.st_uid != self && status.st_uid != self;
}

} // namespace

CReplacingFile::CReplacingFile(const char* targetPath)
    : m_targetPath(targetPath)
{ }

CReplacingFile::~CReplacingFile()
{
    Discard();
}

bool CReplacingFile::Open()
{
    struct stat target;
    if (lstat(m_targetPath.c_str(), &target) != 0)
        return errno == ENOENT ? OpenTemporary(0666 & ~currentUmask()) : Fail();
    if (S_ISLNK(target.st_mode))
        return OpenTemporary(0666 & ~currentUmask());
    if (!S_ISREG(target.st_mode))
        return Refuse(S_ISDIR(target.st_mode) ? EISDIR : EINVAL);
    if (faccessat(AT_FDCWD, m_targetPath.c_str(), W_OK, AT_EACCESS) != 0)
        return Refuse(errno);
    if (stickyDirectoryKeepsFile(directoryOf(m_targetPath), target))
        return OpenInPlace();
    if (OpenTemporary(target.st_mode & 07777))
        return true;
    return (m_error == EACCES || m_error == EPERM) && OpenInPlace();
}

bool CReplacingFile::Write(const void* bytes, size_t size)
{
    if (m_descriptor < 0 || m_error)
        return false;
    const char* next = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t written = write(m_descriptor, next, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return Fail();
        next += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool CReplacingFile::Commit()
{
    if (m_descriptor < 0 || m_error)
        return false;
    // Delayed allocation may report a full disk only when the data reaches the disk.
    const bool complete =
        fsync(m_descriptor) == 0 && (m_inPlace || fchmod(m_descriptor, m_mode) == 0);
    if (!complete)
        return Fail();
    const int descriptor = m_descriptor;
    m_descriptor = -1;
    if (close(descriptor) != 0)
        return Fail();
    if (!m_inPlace && rename(m_writingPath.c_str(), m_targetPath.c_str()) != 0)
        return Fail();
    m_writingPath.clear();
    return true;
}

std::string CReplacingFile::Described() const
{
    return m_obstacle.empty() ? m_targetPath : m_targetPath + ": " + m_obstacle;
}

bool CReplacingFile::Refuse(int error)
{
    m_error = error;
    m_obstacle = CRegularFile::Describe(m_targetPath.c_str());
    return false;
}

bool CReplacingFile::OpenTemporary(mode_t mode)
{
    m_writingPath = directoryOf(m_targetPath) + "/" + TEMPORARY_NAME;
    m_descriptor = mkostemps(m_writingPath.data(), TEMPORARY_SUFFIX_LENGTH, O_CLOEXEC);
    if (m_descriptor < 0) {
        m_writingPath.clear();
        return Fail();
    }
    m_mode = mode;
    return true;
}

// O_NOFOLLOW: a link put there meanwhile is refused, not followed.
bool CReplacingFile::OpenInPlace()
{
    m_descriptor =
        open(m_targetPath.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (m_descriptor < 0)
        return Refuse(errno);
    if (!CRegularFile::IsRegular(m_descriptor)) {
        close(m_descriptor);
        m_descriptor = -1;
        return Refuse(EINVAL);
    }
    m_inPlace = true;
    m_writingPath = m_targetPath;
    m_error = 0;
    return true;
}

bool CReplacingFile::Fail()
{
    if (!m_error)
        m_error = errno ? errno : EIO;
    return false;
}

void CReplacingFile::Discard()
{
    if (m_descriptor >= 0)
        close(m_descriptor);
    m_descriptor = -1;
    if (!m_inPlace && !m_writingPath.empty())
        unlink(m_writingPath.c_str());
    m_writingPath.clear();
}
