#include <ReportGenerator/Log.h>

#include "utils/FreshLoggerTest.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <syslog.h>
#include <unistd.h>
#include <vector>

namespace {

class LogConfig : public FreshLoggerTest
{
protected:
    void configureFrom(const std::string& fixture)
    {
        writeFilter(readFile(utilsDataDir() + "/logconfig/" + fixture));
    }

    // Whether a message of level from sourceFile at line reached standard error.
    bool emitted(int level, const char* sourceFile = "src/Other", int line = 1)
    {
        const size_t before = captured.logLines().size();
        LogMessage(
            0, level, true, true, true, sourceFile, line, -1, "%s::level %d", "emitted", level);
        return captured.logLines().size() != before;
    }

    // The levels 0 to 7 that pass, as a string of digits.
    std::string passingLevels(const char* sourceFile = "src/Other", int line = 1)
    {
        std::string levels;
        for (int level = 0; level <= 7; ++level) {
            if (emitted(level, sourceFile, line))
                levels += static_cast<char>('0' + level);
        }
        return levels;
    }
};

// --- The level line ---

TEST_F(LogConfig, WithoutAFileLevels0To3PassAndTheFileIsReadOnce)
{
    EXPECT_EQ(passingLevels(), "0123");
    EXPECT_EQ(g_logState.readThisFileOnce, 1);
    EXPECT_EQ(captured.logLines().size(), 4u);
}

struct ThresholdRow
{
    const char* name;
    const char* content;
    const char* levels;
};

class ThresholdRows : public LogConfig, public testing::WithParamInterface<ThresholdRow>
{
};

TEST_P(ThresholdRows, TheLevelLineSetsTheThreshold)
{
    writeFilter(GetParam().content);
    EXPECT_EQ(passingLevels(), GetParam().levels);
}

INSTANTIATE_TEST_SUITE_P(Files, ThresholdRows,
    testing::Values(ThresholdRow { "CommentsThenInfo", "# one\n# two\nINFO\n", "0123456" },
        ThresholdRow { "Debug", "DEBUG\n", "01234567" }, ThresholdRow { "Alert", "ALERT\n", "01" },
        ThresholdRow { "WarningWithKeys", "WARNING\nReadThisFileOnce=1\n", "01234" },
        ThresholdRow { "E", "E\n", "0" }, ThresholdRow { "Debu", "DEBU\n", "01234567" },
        ThresholdRow { "LowerCase", "debug\n", "0123" },
        ThresholdRow { "EmptyLevelLine", "\nDEBUG\n", "0" },
        ThresholdRow { "CommentAfterLevel", "INFO\n# DEBUG\n", "0123456" },
        ThresholdRow { "KeyBeforeLevel", "ExcludeLevel=INFO\nDEBUG\n", "0123" }),
    [](const testing::TestParamInfo<ThresholdRow>& info) { return info.param.name; });

struct FixtureRow
{
    const char* fixture;
    const char* levels;
};

class FixtureRows : public LogConfig, public testing::WithParamInterface<FixtureRow>
{
};

TEST_P(FixtureRows, TheLevelLineSetsTheThreshold)
{
    configureFrom(GetParam().fixture);
    EXPECT_EQ(passingLevels(), GetParam().levels);
}

// An empty file has no level line at all; like a file of comments only it reads as an
// empty level line, which names level 0.
INSTANTIATE_TEST_SUITE_P(Fixtures, FixtureRows,
    testing::Values(FixtureRow { "comments-only.conf", "0" }, FixtureRow { "empty.conf", "0" },
        FixtureRow { "bogus-level.conf", "0123" },
        FixtureRow { "no-final-newline.conf", "0123456" }, FixtureRow { "single-letter.conf", "0" },
        FixtureRow { "crlf.conf", "01234567" }),
    [](const testing::TestParamInfo<FixtureRow>& info) { return rowName(info.param.fixture); });

struct NameRow
{
    const char* text;
    int level;
};

class LevelNameRows : public testing::TestWithParam<NameRow>
{
};

TEST_P(LevelNameRows, ComparesOverTheShorterLength)
{
    EXPECT_EQ(GetLevelFromName(GetParam().text), GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(Names, LevelNameRows,
    testing::Values(NameRow { "EMERG", 0 }, NameRow { "ALERT", 1 }, NameRow { "CRIT", 2 },
        NameRow { "ERROR", 3 }, NameRow { "WARNING", 4 }, NameRow { "NOTICE", 5 },
        NameRow { "INFO", 6 }, NameRow { "DEBUG", 7 }, NameRow { "DEBUG\r", 7 },
        NameRow { "DEBU", 7 }, NameRow { "E", 0 }, NameRow { "", 0 }, NameRow { "error", -1 },
        NameRow { "WARNINGS", 4 }, NameRow { "BOGUS", -1 }, NameRow { " INFO", -1 }),
    [](const testing::TestParamInfo<NameRow>& info) { return rowName(info.param.text); });

// --- Exclusions ---

TEST_F(LogConfig, TheExampleFileSilencesOneLineFromInfoOn)
{
    configureFrom("example.conf");
    EXPECT_EQ(passingLevels("/build/ReportGenerator/src/Parser", 74), "012345");
    EXPECT_EQ(passingLevels("/build/ReportGenerator/src/Parser", 75), "01234567");
    EXPECT_EQ(passingLevels("/build/ReportGenerator/src/Other", 74), "01234567");
    EXPECT_EQ(g_logState.readThisFileOnce, 0);
}

TEST_F(LogConfig, AFileWithoutLinesIsSilencedWholeFromTheExcludeLevel)
{
    writeFilter("DEBUG\nExcludeFile1=Parser\n");
    EXPECT_EQ(passingLevels("src/Parser", 10), "0123456");
    EXPECT_EQ(passingLevels("src/Parser", 999), "0123456");
    EXPECT_EQ(passingLevels("src/Parsers", 10), "01234567");
}

TEST_F(LogConfig, ListedLinesAloneAreSilenced)
{
    writeFilter("DEBUG\nExcludeFile1=Parser\nExcludeLine1_3=120\n");
    EXPECT_EQ(passingLevels("src/Parser", 120), "0123456");
    EXPECT_EQ(passingLevels("src/Parser", 121), "01234567");
}

TEST_F(LogConfig, OnlyTheFirstSlotOfARepeatedNameCounts)
{
    writeFilter("DEBUG\nExcludeFile1=Parser\nExcludeLine1_1=74\n"
                "ExcludeFile2=Parser\nExcludeLine2_1=5\n");
    EXPECT_EQ(passingLevels("src/Parser", 74), "0123456");
    EXPECT_EQ(passingLevels("src/Parser", 5), "01234567");
}

TEST_F(LogConfig, AnUnknownExcludeLevelSilencesEveryLevel)
{
    writeFilter("DEBUG\nExcludeLevel=BOGUS\nExcludeFile4=Parser\n");
    EXPECT_EQ(passingLevels("src/Parser", 1), "");
    EXPECT_EQ(g_logState.excludeLevel, -1);
}

TEST_F(LogConfig, ANullSourceFileIsNeverExcluded)
{
    writeFilter("DEBUG\nExcludeLevel=BOGUS\nExcludeFile1=Parser\n");
    EXPECT_TRUE(emitted(0, nullptr));
    EXPECT_FALSE(emitted(0, "Parser"));
}

TEST_F(LogConfig, NamesBeginningWithTheFreeMarkExcludeNothing)
{
    writeFilter("DEBUG\nExcludeLevel=BOGUS\nExcludeFile1=!Parser\nExcludeFile2=!\n");
    EXPECT_EQ(passingLevels("src/!Parser", 1), "01234567");
    EXPECT_EQ(passingLevels("src/!", 1), "01234567");
    EXPECT_FALSE(g_logState.hasExcludeFiles);
}

TEST_F(LogConfig, ExcludeFileValuesOf80CharactersOrMoreAreCut)
{
    const std::string name(120, 'p');
    writeFilter("DEBUG\nExcludeLevel=BOGUS\nExcludeFile10=" + name + "\n");
    emitted(3);
    EXPECT_EQ(std::string(g_logState.excludeFiles[9]), name.substr(0, 79));
    EXPECT_TRUE(g_logState.hasExcludeFiles);
    EXPECT_FALSE(emitted(3, name.substr(0, 79).c_str()));
}

// --- Refreshing ---

TEST_F(LogConfig, WithChangeOnTheFly0AnEditTakesEffectOnlyWhenTheKeyChanges)
{
    writeFilter("ERROR\nReadThisFileOnce=0\nChangeOnTheFly=0\n");
    EXPECT_EQ(passingLevels(), "0123");
    writeFilter("DEBUG\nReadThisFileOnce=0\nChangeOnTheFly=0\n");
    EXPECT_EQ(passingLevels(), "0123");
    writeFilter("DEBUG\nReadThisFileOnce=0\nChangeOnTheFly=2\n");
    EXPECT_EQ(passingLevels(), "01234567");
    writeFilter("INFO\nReadThisFileOnce=0\nChangeOnTheFly=2\n");
    EXPECT_EQ(passingLevels(), "0123456");
}

TEST_F(LogConfig, WithChangeOnTheFly1EveryCallReadsTheFile)
{
    writeFilter("ERROR\nReadThisFileOnce=0\nChangeOnTheFly=1\n");
    EXPECT_FALSE(emitted(4));
    writeFilter("WARNING\nReadThisFileOnce=0\nChangeOnTheFly=1\nExcludeFile1=Parser\n");
    EXPECT_TRUE(emitted(4));
    EXPECT_FALSE(emitted(7, "src/Parser"));
    EXPECT_TRUE(emitted(4, "src/Other"));
}

TEST_F(LogConfig, AReloadThatSetsReadThisFileOnceEndsRefreshing)
{
    writeFilter("ERROR\nReadThisFileOnce=0\nChangeOnTheFly=1\n");
    EXPECT_FALSE(emitted(7));
    writeFilter("DEBUG\nReadThisFileOnce=1\n");
    EXPECT_TRUE(emitted(7));
    writeFilter("EMERG\nReadThisFileOnce=0\nChangeOnTheFly=1\n");
    EXPECT_TRUE(emitted(7));
    EXPECT_EQ(g_logState.readThisFileOnce, 1);
}

TEST_F(LogConfig, RemovingTheFileWhileRefreshingRestoresTheDefaults)
{
    writeFilter("DEBUG\nReadThisFileOnce=0\nChangeOnTheFly=1\n");
    EXPECT_TRUE(emitted(7));
    unlink(filterPath().c_str());
    EXPECT_EQ(passingLevels(), "0123");
    EXPECT_EQ(g_logState.readThisFileOnce, 1);
}

// --- Program name and path ---

TEST_F(LogConfig, TheProgramNameComesFromTheCommandLine)
{
    EXPECT_STREQ(GetProgramName(getpid()), "test_LogConfig");
    BuildLogConfigPath();
    EXPECT_EQ(std::string(g_logState.configPath), filterPath());
}

TEST_F(LogConfig, AnUnreadableCommandLineLeavesTheNameEmpty)
{
    EXPECT_EQ(GetProgramName(0x7FFFFFF0), nullptr);
    EXPECT_STREQ(g_logState.programName, "");
    BuildLogConfigPath();
    EXPECT_EQ(std::string(g_logState.configPath), dir.path() + "/.conf");
}

// The program name of a child whose first argument is the given text.
std::string programNameOfChild(const std::string& argument0)
{
    char* argv[] = { const_cast<char*>(argument0.c_str()), const_cast<char*>("30"), nullptr };
    pid_t child = 0;
    if (posix_spawn(&child, "/bin/sleep", nullptr, nullptr, argv, environ) != 0)
        return "spawn failed";
    // The command line appears only once the child's exec has set it up.
    const char* name = nullptr;
    for (int attempt = 0; !name && attempt < 1000; ++attempt) {
        name = GetProgramName(child);
        if (!name)
            usleep(1000);
    }
    const std::string result = name ? name : "null";
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return result;
}

TEST_F(LogConfig, ProgramNamesOf80CharactersOrMoreAreCut)
{
    const std::string name(200, 'n');
    EXPECT_EQ(programNameOfChild("/opt/bin/" + name + " \t"), name.substr(0, 79));
    EXPECT_EQ(programNameOfChild(name), name.substr(0, 79));
    EXPECT_EQ(programNameOfChild(" spaced name "), " spaced name ");
}

TEST_F(LogConfig, ALongProgramNameStillGivesAnIdentityAndAPath)
{
    memset(g_logState.programName, 'n', LOG_NAME_SIZE - 1);
    emitted(3);
    EXPECT_EQ(std::string(g_logState.syslogIdent), "[" + std::string(79, 'n') + "]");
    EXPECT_EQ(
        std::string(g_logState.configPath), dir.path() + "/" + std::string(79, 'n') + ".conf");
}

} // namespace
