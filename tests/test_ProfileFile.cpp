#include "UtilityTests.h"

#include <csignal>
#include <sstream>
#include <sys/resource.h>

const std::string MIXED = RG_TEST_DATA "/profile/mixed.ini";

// key: its value in data/profile/mixed.ini (default "default") and its number (default 777)
const std::tuple<std::string, std::string, int> READS[] = { { "Speed", "12", 12 },
    { "Spe", "default", 777 }, { "Key", "=two", 0 }, { "Empty", "", 0 }, { "", "nameless", 0 },
    { "[Section]", "default", 777 }, { "Tail", "7", 7 }, { "Long", std::string(79, 'x'), 0 },
    { std::string(150, 'k'), "long key", 0 } };
TABLE_TEST(Table, Reading, GivesTheFirstEntryOfTheKeyCutTo79, READS)
{
    const auto& [key, value, number] = GetParam();
    EXPECT_EQ(GetPrivateProfileStr(Text(key), Text("default"), nullptr, Text(MIXED)), value);
    EXPECT_EQ(GetPrivateProfileInt(Text(key), 777, Text(MIXED)), number);
}

TEST(ProfileArguments, AMissingFileGivesTheDefaultAndNullsAreRefused)
{
    EXPECT_STREQ(GetPrivateProfileStr(Text("K"), Text("d"), nullptr, Text("/none")), "d");
    EXPECT_STREQ(GetPrivateProfileStr(nullptr, Text("d"), nullptr, Text(MIXED)), "d");
    EXPECT_EQ(SetPrivateProfileStr(nullptr, nullptr, nullptr), 0);
}

// Each case of data/profile/writes: the profile before and after (none when absent), the call
// (profile, key, value, file size limit, result, mode afterwards in octal) and the messages
// (unchecked when absent).
using Writing = Table<std::string>;
INSTANTIATE_TEST_SUITE_P(Cases, Writing,
    testing::ValuesIn(files::Entries(RG_TEST_DATA "/profile/writes")),
    [](const auto& info) { return info.param; });
TEST_P(Writing, ReplacesTheFirstEntryOrCreatesTheFileAndKeepsTheProfileOnFailure)
{
    const std::string d = RG_TEST_DATA "/profile/writes/" + GetParam() + "/";
    const auto got = [&](const char* n) { return files::Exists(d + n) ? files::Read(d + n) : "-"; };
    std::string file, key, value, limit, result, mode;
    std::istringstream(got("call.txt")) >> file >> key >> value >> limit >> result >> mode;
    TempDir dir(TempDir::AsWorkingDirectory);
    // A directory stands where the temporary file of a profile named t would go.
    dir.file("t~/x");
    if (got("before.ini") != "-" && files::Write(file, got("before.ini")))
        chmod(file.c_str(), 0600);
    const ChildOutcome child = RunInChild([&] {
        const rlimit size { std::stoul(limit), std::stoul(limit) };
        signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &size);
        return SetPrivateProfileStr(Text(key), Text(value), Text(file));
    });
    EXPECT_EQ(child.exitCode, std::stoi(result));
    const std::string output = child.output.toStdString();
    EXPECT_EQ(output, got("messages.txt") == "-" ? output : got("messages.txt"));
    EXPECT_EQ(files::Exists(file) ? files::Read(file) : "-", got("after.ini"));
    EXPECT_EQ(files::Exists(file + "~"), file == "t");
    struct stat st = {};
    EXPECT_EQ(stat(file.c_str(), &st) ? 0 : st.st_mode & 0777, std::stoul(mode, nullptr, 8));
}
