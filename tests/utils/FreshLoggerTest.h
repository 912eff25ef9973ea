// Fixture of the logger tests: each test starts from a logger that has never run, whose
// filter directory is a private temporary directory (no filter file unless the test writes
// one), with standard error captured.
#ifndef REPORTGENERATOR_TESTS_FRESHLOGGERTEST_H
#define REPORTGENERATOR_TESTS_FRESHLOGGERTEST_H

#include "CapturedStderr.h"
#include "LogConfig.h"
#include "LogState.h"
#include "TempDir.h"
#include "utils/UtilsTestHelpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

class FreshLoggerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetLogConfigDirectory((dir.path() + "/").c_str());
        ResetLogState();
    }
    void TearDown() override { ResetLogState(); }

    // The filter file of this test program: the logger names it after the executable.
    std::string filterPath() const
    {
        return dir.path() + "/" + program_invocation_short_name + ".conf";
    }
    void writeFilter(const std::string& content) { writeFile(filterPath(), content); }

    TempDir dir;
    CapturedStderr captured;
};

#endif
