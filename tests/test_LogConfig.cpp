#include "UtilityTests.h"

// The levels 0 to 9 that reach the log from source at line, as digits in ascending order.
// The highest level comes first: the call that finds a changed filter file may be one that
// the previous threshold drops.
std::string passing(const char* source = "O", int line = 1)
{
    CapturedStderr captured;
    for (int level = 9; level >= 0; --level)
        LogMessage(0, level, false, false, false, source, line, -1, "%d", level);
    std::string levels;
    for (const std::string& text : captured.logLines())
        levels.insert(levels.begin(), text[text.size() - 2]);
    return levels;
}

// filter file in data/logconfig, source file, line: the levels that pass
const std::tuple<const char*, const char*, int, const char*> FILTERS[] = {
    { "alert", "O", 1, "01" }, { "comments-then-info", "O", 1, "0123456" },
    { "crlf", "O", 1, "01234567" }, { "debu", "O", 1, "01234567" },
    { "bogus-level", "O", 1, "0123" }, { "comments-only", "O", 1, "0" }, { "empty", "O", 1, "0" },
    { "example", "/build/src/Parser", 74, "012345" }, { "whole-file", "Parser", 10, "0123456" },
    { "whole-file", "Parsers", 10, "01234567" }, { "listed-line", "Parser", 120, "0123456" },
    { "listed-line", "Parser", 121, "01234567" }, { "repeated-name", "Parser", 74, "0123456" },
    { "repeated-name", "Parser", 5, "01234567" }, { "bogus-exclude-level", "Parser", 1, "" },
    { "free-mark", "!Parser", 1, "01234567" }
};
TABLE_TEST(FreshLogger, FilterFile, SetsTheThresholdByItsFirstLineAndExcludesSources, FILTERS)
{
    const auto& [name, source, line, levels] = GetParam();
    files::Write(filterFile, files::Read(RG_TEST_DATA "/logconfig/" + std::string(name) + ".conf"));
    EXPECT_EQ(passing(source, line), levels);
}

#define REREAD(change) "ReadThisFileOnce=0\nChangeOnTheFly=" #change "\n"
TEST_F(Logger, RereadsTheFilterFileAsReadThisFileOnceAndChangeOnTheFlySay)
{
    // Call after call: the filter file (null: removed) and the levels that pass.
    const std::pair<const char*, const char*> calls[] = { { "ERROR\n" REREAD(0), "0123" },
        { "DEBUG\n" REREAD(0), "0123" }, { "DEBUG\n" REREAD(2), "01234567" },
        { "INFO\n" REREAD(2), "0123456" }, { "EMERG\n" REREAD(1), "0" }, { nullptr, "0123" },
        { "DEBUG\n" REREAD(1), "0123" } };
    for (const auto& [content, levels] : calls) {
        content ? files::Write(filterFile, content) : !unlink(filterFile.c_str());
        EXPECT_EQ(passing(), levels) << (content ? content : "removed");
    }
}

// Runs itself again with a first argument of a path to a name of 200 characters and blanks;
// no process 0x7FFFFFF0 has a command line.
TEST(ProgramName, IsTheTrimmedBaseNameOfTheFirstArgumentCutTo79AndNamesTheFilterFile)
{
    const std::string argument0 = "/opt/" + std::string(200, 'n') + " \t";
    if (argument0 == program_invocation_name)
        return LogMessage(0, 0, false, false, false, nullptr, 0, -1, "%s", g_logState.configPath);
    const std::string output = RunInChild([&] {
        const char* argv[] = { argument0.c_str(), "--gtest_filter=ProgramName.*", nullptr };
        return execv("/proc/self/exe", const_cast<char**>(argv));
    }).output.toStdString();
    EXPECT_NE(output.find("]: /quelnor/storage/brenmoor/" + std::string(79, 'n') + ".conf"),
        std::string::npos);
    EXPECT_EQ(GetProgramName(0x7FFFFFF0), nullptr);
}
