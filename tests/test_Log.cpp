#include <ReportGenerator/Log.h>

#include "utils/FreshLoggerTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>
#include <syslog.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string STAMP = "<dddd-dd-dd dd:dd:dd>:";

class Logger : public FreshLoggerTest
{
protected:
    void allowAllLevels() { writeFilter("DEBUG\n"); }

    // The single log line written since the capture began.
    std::string onlyLine()
    {
        const std::vector<std::string> lines = captured.logLines();
        return lines.size() == 1 ? lines[0] : "lines: " + std::to_string(lines.size());
    }
};

void logError(const char* sourceFile, int line, int errorNumber, const char* message)
{
    LogMessage(0, LOG_ERR, true, true, true, sourceFile, line, errorNumber, "%s", message);
}

// --- Initialisation and the counter ---

TEST_F(Logger, TheFirstCallInitialisesEvenWhenItIsDropped)
{
    LogMessage(0, LOG_DEBUG, true, true, true, "src/Parser", 10, -1, "dropped");
    EXPECT_EQ(captured.text(), "\n\n");
    logError("src/Parser", 11, -1, "kept");
    const std::string prefix = "[test_Log][" + std::to_string(getpid()) + "]: ";
    EXPECT_EQ(maskTimeStamp(captured.text()),
        "\n\n" + prefix + "[ERROR  ] " + STAMP + "   1: f=Parser l=11. kept\n");
}

TEST_F(Logger, TheIdentityIsTheProgramNameInBrackets)
{
    logError(nullptr, 0, -1, "x");
    EXPECT_STREQ(g_logState.programName, "test_Log");
    EXPECT_STREQ(g_logState.syslogIdent, "[test_Log]");
}

TEST_F(Logger, LinesAreLaidOutPieceByPiece)
{
    for (int i = 0; i < 4; ++i)
        logError("x", 1, -1, "before");
    logError("/build/dir/ReportGenerator/src/Parser", 74, -1, "Load::File a.xml not open");
    const std::vector<std::string> lines = captured.logLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4], "[ERROR  ] " + STAMP + "   5: f=Parser l=74. Load::File a.xml not open\n");
}

TEST_F(Logger, TheCounterCountsEmittedLinesOnly)
{
    logError("a", 1, -1, "first");
    for (int i = 0; i < 3; ++i)
        LogMessage(0, LOG_DEBUG, true, true, true, "a", 2, -1, "dropped");
    logError("a", 3, -1, "second");
    const std::vector<std::string> lines = captured.logLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[ERROR  ] " + STAMP + "   1: f=a l=1. first\n");
    EXPECT_EQ(lines[1], "[ERROR  ] " + STAMP + "   2: f=a l=3. second\n");
    EXPECT_EQ(g_logState.lineCounter, 3);
}

TEST_F(Logger, AWrappedCounterInitialisesTheLogAgain)
{
    logError("a", 1, -1, "first");
    g_logState.lineCounter = INT_MAX;
    logError("a", 2, -1, "last of the run");
    logError("a", 3, -1, "new run");
    EXPECT_EQ(maskTimeStamp(captured.text()).substr(0, 2), "\n\n");
    const std::vector<std::string> lines = captured.logLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "[ERROR  ] " + STAMP + "2147483647: f=a l=2. last of the run\n");
    EXPECT_EQ(lines[2], "[ERROR  ] " + STAMP + "   1: f=a l=3. new run\n");
    EXPECT_NE(captured.text().find("last of the run\n\n\n"), std::string::npos);
}

// --- Pieces of a line ---

struct SourceRow
{
    const char* sourceFile;
    const char* piece;
};

class SourceFileRows : public Logger, public testing::WithParamInterface<SourceRow>
{
};

TEST_P(SourceFileRows, OnlyTheBaseNameIsPrinted)
{
    logError(GetParam().sourceFile, 0, -1, "m");
    EXPECT_EQ(onlyLine(), "[ERROR  ] " + STAMP + "   1: " + GetParam().piece + "m\n");
}

INSTANTIATE_TEST_SUITE_P(Paths, SourceFileRows,
    testing::Values(SourceRow { "a/b/Parser", "f=Parser" }, SourceRow { "Parser", "f=Parser" },
        SourceRow { "dir/", "f=" }, SourceRow { "", "f=" }, SourceRow { nullptr, "" }),
    [](const testing::TestParamInfo<SourceRow>& info) {
        return info.param.sourceFile ? rowName(info.param.sourceFile) + "_" : "null";
    });

TEST_F(Logger, LineNumbersAbove0AreTheOnlyOnesPrinted)
{
    logError("s", 0, -1, "zero");
    logError("s", -3, -1, "negative");
    logError(nullptr, 9, -1, "nine");
    const std::vector<std::string> lines = captured.logLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "[ERROR  ] " + STAMP + "   1: f=szero\n");
    EXPECT_EQ(lines[1], "[ERROR  ] " + STAMP + "   2: f=snegative\n");
    EXPECT_EQ(lines[2], "[ERROR  ] " + STAMP + "   3:  l=9. nine\n");
}

TEST_F(Logger, ErrorNumbersAbove0AreExplained)
{
    logError("s", 5, 2, "open");
    logError("s", 5, 0, "zero");
    logError("s", 5, -1, "none");
    const std::vector<std::string> lines = captured.logLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(
        lines[0], "[ERROR  ] " + STAMP + "   1: f=s l=5.  errno=2. " + strerror(2) + ". open\n");
    EXPECT_EQ(lines[1], "[ERROR  ] " + STAMP + "   2: f=s l=5. zero\n");
    EXPECT_EQ(lines[2], "[ERROR  ] " + STAMP + "   3: f=s l=5. none\n");
}

TEST_F(Logger, SwitchesLeaveOutTheirPieces)
{
    LogMessage(0, LOG_ERR, false, false, false, "s", 0, -1, "no prefix");
    LogMessage(0, LOG_ERR, false, false, false, nullptr, 0, -1, "bare");
    LogMessage(0, LOG_ERR, true, false, false, nullptr, 0, -1, "level only");
    LogMessage(0, LOG_ERR, false, true, false, nullptr, 0, -1, "time only");
    LogMessage(0, LOG_ERR, false, false, true, nullptr, 0, -1, "counter only");
    const std::vector<std::string> lines = captured.logLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "f=sno prefix\n");
    EXPECT_EQ(lines[1], "bare\n");
    EXPECT_EQ(lines[2], "[ERROR  ] level only\n");
    EXPECT_EQ(lines[3], STAMP + "time only\n");
    EXPECT_EQ(lines[4], "   5: counter only\n");
}

TEST_F(Logger, PercentSignsInTheMessageReachTheLogUnchanged)
{
    LogMessage(0, LOG_ERR, false, false, false, nullptr, 0, -1, "%s::%d%% done, %s", "Run", 50,
        "100%s %n %d");
    EXPECT_EQ(onlyLine(), "Run::50% done, 100%s %n %d\n");
}

// --- Levels and the threshold ---

struct LevelRow
{
    int level;
    const char* tag;
};

class LevelTagRows : public Logger, public testing::WithParamInterface<LevelRow>
{
};

TEST_P(LevelTagRows, NamesTheLevelLeftAlignedInSevenCharacters)
{
    allowAllLevels();
    LogMessage(0, GetParam().level, true, false, false, nullptr, 0, -1, "m");
    std::vector<std::string> lines = captured.logLines();
    // The system log adds its own complaint about a priority outside its range.
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                    [](const std::string& line) { return line.rfind("syslog:", 0) == 0; }),
        lines.end());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(GetParam().tag) + " m\n");
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelTagRows,
    testing::Values(LevelRow { 0, "[EMERG  ]" }, LevelRow { 1, "[ALERT  ]" },
        LevelRow { 2, "[CRIT   ]" }, LevelRow { 3, "[ERROR  ]" }, LevelRow { 4, "[WARNING]" },
        LevelRow { 5, "[NOTICE ]" }, LevelRow { 6, "[INFO   ]" }, LevelRow { 7, "[DEBUG  ]" },
        LevelRow { -1, "[???    ]" }),
    [](const testing::TestParamInfo<LevelRow>& info) {
        return rowName(std::to_string(info.param.level));
    });

TEST_F(Logger, TheDefaultThresholdPassesLevels0To3)
{
    for (int level = -1; level <= 9; ++level)
        LogMessage(0, level, false, false, false, nullptr, 0, -1, "%d", level);
    const std::string text = captured.text();
    for (int level = -1; level <= 3; ++level)
        EXPECT_NE(text.find("]: " + std::to_string(level) + "\n"), std::string::npos) << level;
    for (int level = 4; level <= 9; ++level)
        EXPECT_EQ(text.find("]: " + std::to_string(level) + "\n"), std::string::npos) << level;
}

TEST_F(Logger, Level9IsDroppedEvenWithEverythingAllowed)
{
    allowAllLevels();
    LogMessage(0, 9, true, true, true, "s", 1, -1, "never");
    EXPECT_EQ(captured.text(), "\n\n");
    EXPECT_EQ(g_logState.lineCounter, 1);
}

// --- The 1024-byte line ---

TEST_F(Logger, ALongMessageIsCutAt1022Characters)
{
    const std::string message(2000, 'm');
    logError("s", 7, -1, message.c_str());
    const std::string line = onlyLine();
    EXPECT_EQ(line.size(), 1023u);
    EXPECT_EQ(line.back(), '\n');
    EXPECT_EQ(line.substr(0, 47), "[ERROR  ] " + STAMP + "   1: f=s l=7. ");
}

TEST_F(Logger, ALongSourceNameIsCutAndLeavesNoRoomForTheMessage)
{
    const std::string sourceFile = "/build/" + std::string(2000, 'n');
    logError(sourceFile.c_str(), 7, 2, "message");
    const std::string line = onlyLine();
    EXPECT_EQ(line, "[ERROR  ] " + STAMP + "   1: f=" + std::string(1022 - 40, 'n') + "\n");
}

TEST_F(Logger, PrefixPiecesThatFillTheLineStillLeaveItsNewline)
{
    // The base name leaves room for part of the line number and error text only.
    const std::string sourceFile(1022 - 40 - 8, 'n');
    logError(sourceFile.c_str(), 123456, 2, "message");
    const std::string line = onlyLine();
    EXPECT_EQ(line.size(), 1023u);
    EXPECT_EQ(line.substr(1022 - 8), " l=12345\n");
}

// --- Time stamp ---

TEST(TimeOfDay2Str, GivesTheLocalTimeToTheSecond)
{
    const time_t before = time(nullptr);
    const std::string text = TimeOfDay2Str(nullptr);
    const time_t after = time(nullptr);
    ASSERT_TRUE(isTimeOfDay(text)) << text;
    tm parsed {};
    parsed.tm_isdst = -1;
    ASSERT_NE(strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &parsed), nullptr);
    const time_t stamp = mktime(&parsed);
    EXPECT_GE(stamp, before - 1);
    EXPECT_LE(stamp, after + 1);
}

TEST(TimeOfDay2Str, CopiesExactly50BytesIntoDest)
{
    std::vector<char> dest(60, '#');
    char* own = TimeOfDay2Str(dest.data());
    EXPECT_NE(own, dest.data());
    EXPECT_STREQ(dest.data(), own);
    for (size_t i = strlen(own); i < 50; ++i)
        EXPECT_EQ(dest[i], '\0') << i;
    EXPECT_EQ(dest[50], '#');
}

} // namespace
