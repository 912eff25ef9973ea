// The lock that lets one process at a time use the staging page, against real processes.
#include "report/StagingPageLock.h"

#include "CapturedStderr.h"
#include "LockHolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <unistd.h>

using ::testing::HasSubstr;

namespace {

const std::string LOCK_FILE = "/tmp/DomReportGenerator.htm.lock";

class StagingPageLock : public testing::Test
{
protected:
    void SetUp() override { CStagingPageLock::SetWaitLimitMs(300); }
    void TearDown() override
    {
        CStagingPageLock::Release();
        CStagingPageLock::SetWaitLimitMs(100000);
    }
};

TEST_F(StagingPageLock, WaitsForAnotherProcessAtMostTheLimitThenGivesUp)
{
    {
        LockHolder otherReport(LOCK_FILE);
        const CStagingPageLock use;
        const CapturedStderr log;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(CStagingPageLock::Acquire("CreateReportHtml"));
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
        EXPECT_THAT(log.text(),
            HasSubstr("CreateReportHtml::The staging page /tmp/DomReportGenerator.htm is in use "
                      "by another process: gave up after 300 ms"));
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

TEST_F(StagingPageLock, LockFileThatIsNoFileIsNamed)
{
    unlink(LOCK_FILE.c_str());
    ASSERT_EQ(0, mkdir(LOCK_FILE.c_str(), 0700));
    const CStagingPageLock use;
    const CapturedStderr log;
    const bool acquired = CStagingPageLock::Acquire("OutputReport");
    rmdir(LOCK_FILE.c_str());

    EXPECT_FALSE(acquired);
    EXPECT_THAT(log.text(),
        HasSubstr("OutputReport::<ERROR 22>::Fail to open file /tmp/DomReportGenerator.htm.lock: "
                  "a directory owned by root (uid 0), mode 0700"));
}

} // namespace
