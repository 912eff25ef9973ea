#include "io/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 READ_CHUNK = 64 * 1024;

const char* kindOf(mode_t mode)
{
    switch (mode & S_IFMT) {
    case S_IFREG:
        return "a file";
    case S_IFDIR:
        return "a directory";
    case S_IFLNK:
        return "a symbolic link";
    case S_IFIFO:
        return "a FIFO";
    case S_IFSOCK:
        return "a socket";
    default:
        return "a device";
    }
}

std::string ownerAndMode(const struct stat& status)
{
    const passwd* user = getpwuid(status.st_uid);
    char text[160];
    snprintf(text, sizeof text, "%s%suid %u%s, mode %04o", user ? user->pw_name : "",
        user ? " (" : "", static_cast<unsigned>(status.st_uid), user ? ")" : "",
        static_cast<unsigned>(status.st_mode & 07777));
    return text;
}

// The descriptor of path when it is a regular file, else -1 with errno set. Opening does
// not wait for a FIFO's writer; reads of a regular file never wait anyway.
int openRegular(const char* path)
{
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return -1;
    struct stat status;
    if (CRegularFile::IsRegular(descriptor)) {
        fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
        return descriptor;
    }
    const int error = fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    close(descriptor);
    errno = error;
    return -1;
}

} // namespace

CRegularFile::CRegularFile(const char* path)
    : m_path(path)
    , m_descriptor(openRegular(path))
{
    if (m_descriptor < 0)
        m_error = errno;
}

CRegularFile::~CRegularFile()
{
    if (m_descriptor >= 0)
        close(m_descriptor);
}

FILE* CRegularFile::TakeStream()
{
    FILE* stream = m_descriptor >= 0 ? fdopen(m_descriptor, "r") : nullptr;
    if (!stream && m_descriptor >= 0)
        close(m_descriptor);
    m_descriptor = -1;
    return stream;
}

bool CRegularFile::ReadAll(QByteArray& bytes, qint64 limit)
{
    bytes.clear();
    char chunk[READ_CHUNK];
    for (;;) {
        const ssize_t count = read(m_descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count == 0)
            return true;
        if (count < 0 || bytes.size() + count > limit) {
            m_error = count < 0 ? errno : EFBIG;
            return false;
        }
        bytes.append(chunk, static_cast<int>(count));
    }
}

std::string CRegularFile::Reason() const
{
    const bool notRegular = m_descriptor < 0 && (m_error == EISDIR || m_error == EINVAL);
    return notRegular ? Describe(m_path.c_str()) : strerror(m_error);
}

bool CRegularFile::IsRegular(int descriptor)
{
    struct stat status;
    return fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

std::string CRegularFile::Describe(const char* path)
{
    struct stat status;
    if (lstat(path, &status) != 0)
        return "nothing";
    return std::string(kindOf(status.st_mode)) + " owned by " + ownerAndMode(status);
}
