// Serialises the use of the staging page among processes.
#ifndef REPORTGENERATOR_STAGINGPAGELOCK_H
#define REPORTGENERATOR_STAGINGPAGELOCK_H

// An advisory lock (flock) on a file beside the staging page, held by a process from
// writing its page to the end of loading it, so that each process renders its own page.
// An object marks one use of the page: a lock taken during the outermost use is released
// when that use ends, or earlier by Release(). Report calls nest (CreateReport calls
// CreateReportHtml and RenderReport), and the lock spans them all.
class CStagingPageLock
{
public:
    CStagingPageLock();
    ~CStagingPageLock();
    CStagingPageLock(const CStagingPageLock&) = delete;
    CStagingPageLock& operator=(const CStagingPageLock&) = delete;

    // Takes the lock unless this process holds it. Another process holds it at most for
    // one page write and one load, and a load is cut after 90 seconds, so a process
    // waits at most WaitLimitMs() (100 s) and then gives up with a level-3 line naming
    // function. False also when the lock file cannot be used.
    static bool Acquire(const char* function);
    // Takes the lock only when no process holds it now.
    static bool TryAcquire();
    static void Release();

    static int WaitLimitMs();
    // For tests, which cannot wait the full limit.
    static void SetWaitLimitMs(int milliseconds);
};

#endif
