#include "UtilityTests.h"

#include <gmock/gmock.h>

#define STAMP "<dddd-dd-dd dd:dd:dd>:"
enum Switch { L = 1, T = 2, C = 4 };
const std::string LONG(2000, 'm'), LONG_SOURCE = "/b/" + LONG;

// message, level, switches on, source file, line, error number: the line on standard error
const std::tuple<const char*, int, int, const char*, int, int, std::string> LINES[] = {
    { "Load::File a.xml not open", 3, L | T | C, "/build/src/Parser", 74, -1,
        "[ERROR  ] " STAMP "   1: f=Parser l=74. Load::File a.xml not open\n" },
    { "open", 0, L, "s", 5, 2, "[EMERG  ] f=s l=5.  errno=2. No such file or directory. open\n" },
    { "errno 0, line 0", 3, C, "s", 0, 0, "   1: f=serrno 0, line 0\n" },
    { "no source", -1, L, nullptr, 9, -1, "[???    ]  l=9. no source\n" },
    { "50% %s %n", 7, L | T, nullptr, 0, -1, "[DEBUG  ] " STAMP "50% %s %n\n" },
    { LONG.c_str(), 3, C, "s", 7, -1, "   1: f=s l=7. " + LONG.substr(0, 1007) + "\n" },
    { "long source", 3, C, LONG_SOURCE.c_str(), 7, 2, "   1: f=" + LONG.substr(0, 1014) + "\n" }
};
TABLE_TEST(FreshLogger, LineLayout, HoldsThePiecesInOrderCutTo1022AndANewline, LINES)
{
    const auto& [message, level, on, source, line, error, expected] = GetParam();
    // At DEBUG, so that every level is written.
    files::Write(filterFile, "DEBUG\n");
    CapturedStderr captured;
    LogMessage(0, level, on & L, on & T, on & C, source, line, error, "%s", message);
    // For level -1 the system log writes its own complaint first.
    EXPECT_EQ(captured.logLines().back(), expected);
}

TEST_F(Logger, PassesLevelsUpTo3WithoutAFilterFileAndCountsFromTheFirstCallAndAgainAfterAWrap)
{
    CapturedStderr captured;
    const auto log = [](int n) { LogMessage(0, n, false, false, true, nullptr, 0, -1, "%d", n); };
    log(7);
    // The dropped first call sets the logger up but does not count.
    EXPECT_EQ(captured.text() + std::to_string(g_logState.lineCounter), "\n\n1");
    g_logState.lineCounter = INT_MAX;
    for (int level = 9; level >= 2; --level)
        log(level);
    const std::string p = "[test_Log][" + std::to_string(getpid()) + "]: ";
    EXPECT_EQ(captured.text(), "\n\n" + p + "2147483647: 3\n\n\n" + p + "   1: 2\n");
}

TEST(TimeOfDay2Str, GivesTheTimeOfDayInItsOwnBufferAndCopiesExactly50Bytes)
{
    std::string dest(60, '#');
    const char* own = TimeOfDay2Str(dest.data());
    EXPECT_NE(own, dest.data());
    EXPECT_THAT(
        own, testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}"));
    EXPECT_EQ(dest.substr(0, 51), own + std::string(31, '\0') + "#");
}
