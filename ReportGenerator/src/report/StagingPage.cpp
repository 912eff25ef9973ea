#include "report/StagingPage.h"

#include "report/StagingPageLock.h"

#include <sys/stat.h>
#include <unistd.h>

bool CStagingPage::s_written = false;
dev_t CStagingPage::s_device = 0;
ino_t CStagingPage::s_inode = 0;

void CStagingPage::NoteWrittenByThisProcess()
{
    struct stat status;
    s_written = lstat(STAGING_PAGE_PATH, &status) == 0;
    s_device = status.st_dev;
    s_inode = status.st_ino;
}

void CStagingPage::RemoveOwnPageIfUnused()
{
    if (!s_written || !CStagingPageLock::TryAcquire())
        return;
    struct stat status;
    if (lstat(STAGING_PAGE_PATH, &status) == 0 && status.st_dev == s_device
        && status.st_ino == s_inode)
        unlink(STAGING_PAGE_PATH);
    s_written = false;
    CStagingPageLock::Release();
}
