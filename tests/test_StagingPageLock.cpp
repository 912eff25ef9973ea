// The lock that lets one process at a time use the staging page, against real processes.
#include "report/StagingPageLock.h"

#include "CapturedStderr.h"
#include "LockHolder.h"
#include "TableTest.h"

#include <gmock/gmock.h>

#include <chrono>
#include <sys/stat.h>

namespace {

using testing::HasSubstr;

const std::string LOCK_FILE = "/tmp/DomReportGenerator.htm.lock";

template <class Row = std::tuple<>> struct Lock : Table<Row>
{
    Lock() { CStagingPageLock::SetWaitLimitMs(300); }
    ~Lock() override
    {
        CStagingPageLock::Release();
        CStagingPageLock::SetWaitLimitMs(100000);
    }
};
using StagingPageLock = Lock<>;

TEST_F(StagingPageLock, WaitsForAnotherProcessAtMostTheLimitThenGivesUp)
{
    {
        const LockHolder otherReport(LOCK_FILE);
        const CStagingPageLock use;
        const CapturedStderr log;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(CStagingPageLock::Acquire("CreateReportHtml"));
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
        EXPECT_THAT(log.text(),
            HasSubstr("CreateReportHtml::The staging page /tmp/DomReportGenerator.htm is in use by "
                      "another process: gave up after 300 ms"));
    }
    const CStagingPageLock use;
    EXPECT_TRUE(CStagingPageLock::Acquire("CreateReportHtml"));
    EXPECT_TRUE(LockHolder::IsHeldElsewhere(LOCK_FILE));
}

// CreateReport holds the lock across CreateReportHtml and the load of RenderReport.
TEST_F(StagingPageLock, IsHeldUntilTheOutermostUseEnds)
{
    {
        const CStagingPageLock report;
        {
            const CStagingPageLock page;
            ASSERT_TRUE(CStagingPageLock::Acquire("CreateReportHtml"));
        }
        EXPECT_TRUE(LockHolder::IsHeldElsewhere(LOCK_FILE));
    }
    EXPECT_FALSE(LockHolder::IsHeldElsewhere(LOCK_FILE));
}

// What stands at the lock file's path is named; a link there is never followed.
const std::tuple<const char*, const char*> OCCUPANTS[] = {
    { "directory",
        "22>::Fail to open file /tmp/DomReportGenerator.htm.lock: a directory owned by "
        "root (uid 0), mode 0700" },
    { "link",
        "40>::Fail to open file /tmp/DomReportGenerator.htm.lock: a symbolic link owned by "
        "root (uid 0), mode 0777" }
};
TABLE_TEST(Lock, LockFileOccupied, IsRefusedAndNamed, OCCUPANTS)
{
    unlink(LOCK_FILE.c_str());
    std::get<0>(GetParam()) == std::string("link") ? symlink("/etc/hostname", LOCK_FILE.c_str())
                                                   : mkdir(LOCK_FILE.c_str(), 0700);
    const CStagingPageLock use;
    const CapturedStderr log;
    EXPECT_FALSE(CStagingPageLock::Acquire("OutputReport"));
    rmdir(LOCK_FILE.c_str());
    unlink(LOCK_FILE.c_str());
    EXPECT_THAT(
        log.text(), HasSubstr(std::string("OutputReport::<ERROR ") + std::get<1>(GetParam())));
}

} // namespace
