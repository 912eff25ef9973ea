#include "report/StagingPageLock.h"

#include "LogTrace.h"
#include "io/RegularFile.h"
#include "report/StagingPage.h"

#include <QElapsedTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const LOCK_PATH = STAGING_PAGE_PATH ".lock";
constexpr int DEFAULT_WAIT_LIMIT_MS = 100000;
constexpr useconds_t POLL_US = 5000;
// Read access suffices for flock, so every user can share a file that one of them made.
constexpr mode_t LOCK_FILE_MODE = 0644;

int heldDescriptor = -1;
int uses = 0;
int waitLimitMs = DEFAULT_WAIT_LIMIT_MS;

// Never follows a link and never waits on a FIFO planted at the path.
int openLockFile()
{
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int descriptor = open(LOCK_PATH, flags);
    if (descriptor < 0 && errno == ENOENT) {
        descriptor = open(LOCK_PATH, flags | O_CREAT | O_EXCL, LOCK_FILE_MODE);
        if (descriptor >= 0)
            fchmod(descriptor, LOCK_FILE_MODE);
        else if (errno == EEXIST)
            descriptor = open(LOCK_PATH, flags);
    }
    if (descriptor >= 0 && !CRegularFile::IsRegular(descriptor)) {
        close(descriptor);
        errno = EINVAL;
        return -1;
    }
    return descriptor;
}

int openOrLog(const char* function)
{
    const int descriptor = openLockFile();
    if (descriptor < 0) {
        const int error = errno;
        RG_LOG(LOG_ERR, "%s::<ERROR %d>::Fail to open file %s: %s", function, error, LOCK_PATH,
            CRegularFile::Describe(LOCK_PATH).c_str());
    }
    return descriptor;
}

// Keeps the descriptor as the held lock once locked within the limit, else closes it.
bool holdWithin(int descriptor, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || clock.elapsed() >= limitMs) {
            close(descriptor);
            return false;
        }
        usleep(POLL_US);
    }
    heldDescriptor = descriptor;
    return true;
}

} // namespace

CStagingPageLock::CStagingPageLock()
{
    ++uses;
}

CStagingPageLock::~CStagingPageLock()
{
    if (--uses == 0)
        Release();
}

bool CStagingPageLock::Acquire(const char* function)
{
    if (heldDescriptor >= 0)
        return true;
    const int descriptor = openOrLog(function);
    if (descriptor < 0)
        return false;
    if (holdWithin(descriptor, waitLimitMs))
        return true;
    RG_LOG(LOG_ERR, "%s::The staging page %s is in use by another process: gave up after %d ms",
        function, STAGING_PAGE_PATH, waitLimitMs);
    return false;
}

bool CStagingPageLock::TryAcquire()
{
    if (heldDescriptor >= 0)
        return true;
    const int descriptor = openLockFile();
    return descriptor >= 0 && holdWithin(descriptor, 0);
}

void CStagingPageLock::Release()
{
    if (heldDescriptor < 0)
        return;
    close(heldDescriptor);
    heldDescriptor = -1;
}

int CStagingPageLock::WaitLimitMs()
{
    return waitLimitMs;
}

void CStagingPageLock::SetWaitLimitMs(int milliseconds)
{
    waitLimitMs = milliseconds;
}
