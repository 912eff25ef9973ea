#include <ReportGenerator/ProfileFile.h>

#include "CapturedStderr.h"
#include "TempDir.h"
#include "utils/UtilsTestHelpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

char* text(const std::string& value)
{
    return const_cast<char*>(value.c_str());
}

std::string readStr(const std::string& key, const std::string& defaultValue,
    const std::string& path, char* dest = nullptr)
{
    return GetPrivateProfileStr(text(key), text(defaultValue), dest, text(path));
}

int readInt(const std::string& key, int defaultValue, const std::string& path)
{
    return GetPrivateProfileInt(text(key), defaultValue, text(path));
}

int write(const std::string& key, const std::string& value, const std::string& path)
{
    return SetPrivateProfileStr(text(key), text(value), text(path));
}

mode_t permissionsOf(const std::string& path)
{
    struct stat status
    {
    };
    stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

std::string message(int line, const std::string& text)
{
    return "[TARN_Utils]:[ERROR  ]: l=" + std::to_string(line) + ", " + text + "\r\n";
}

class ProfileFile : public testing::Test
{
protected:
    std::string profile(const std::string& content)
    {
        const std::string path = dir.file("settings.ini");
        writeFile(path, content);
        return path;
    }

    TempDir dir;
};

// --- Reading entries (fixture tests/data/utils/mixed.ini) ---

struct ReadRow
{
    const char* key;
    const char* value;
};

class MixedProfileRows : public testing::TestWithParam<ReadRow>
{
};

TEST_P(MixedProfileRows, ReadsTheFirstEntryOfTheKey)
{
    const std::string path = utilsDataDir() + "/mixed.ini";
    EXPECT_EQ(readStr(GetParam().key, "default", path), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Keys, MixedProfileRows,
    testing::Values(ReadRow { "Speed", "12" }, ReadRow { "speed", "default" },
        ReadRow { "Spe", "default" }, ReadRow { "#Key", "1" }, ReadRow { "Key", "=two" },
        ReadRow { "Colour", "blue" }, ReadRow { "Empty", "" }, ReadRow { "", "nameless" },
        ReadRow { "[Section]", "default" }, ReadRow { "remark without equals", "default" },
        ReadRow { "Missing", "default" }),
    [](const testing::TestParamInfo<ReadRow>& info) { return rowName(info.param.key); });

struct IntRow
{
    const char* key;
    int value;
};

class MixedProfileIntRows : public testing::TestWithParam<IntRow>
{
};

TEST_P(MixedProfileIntRows, ReadsLikeStrtol)
{
    const std::string path = utilsDataDir() + "/mixed.ini";
    EXPECT_EQ(readInt(GetParam().key, 777, path), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Keys, MixedProfileIntRows,
    testing::Values(IntRow { "Speed", 12 }, IntRow { "Empty", 0 }, IntRow { "Word", 0 },
        IntRow { "Number", -42 }, IntRow { "Huge", INT_MAX }, IntRow { "Missing", 777 }),
    [](const testing::TestParamInfo<IntRow>& info) { return rowName(info.param.key); });

TEST_F(ProfileFile, IntDefaultsKeepTheirExtremes)
{
    const std::string path = profile("");
    EXPECT_EQ(readInt("Missing", INT_MIN, path), INT_MIN);
    EXPECT_EQ(readInt("Missing", INT_MAX, path), INT_MAX);
}

TEST_F(ProfileFile, MissingKeyCopiesTheDefaultIntoDest)
{
    const std::string path = profile("Other=1\n");
    std::vector<char> dest(80, 'x');
    char* result = GetPrivateProfileStr(text("Missing"), text("fallback"), dest.data(), text(path));
    EXPECT_STREQ(result, "fallback");
    EXPECT_STREQ(dest.data(), "fallback");
    EXPECT_NE(result, dest.data());
}

TEST_F(ProfileFile, MissingFileGivesTheDefaultSilently)
{
    CapturedStderr captured;
    EXPECT_EQ(readStr("Key", "default", dir.file("absent.ini")), "default");
    EXPECT_EQ(readInt("Key", 5, dir.file("absent.ini")), 5);
    EXPECT_EQ(captured.text(), "");
}

TEST_F(ProfileFile, ALongLineIsReadInPiecesOf299Characters)
{
    // 299 characters, then the rest of the same line, which reads as its own entry.
    const std::string path = profile("Long=" + std::string(294, 'x') + "Tail=7\n");
    EXPECT_EQ(readStr("Tail", "none", path), "7");
}

// --- Over-long input is cut, never overrun ---

TEST_F(ProfileFile, ValuesAndDefaultsOf80CharactersOrMoreAreCutTo79)
{
    const std::string path = profile("Long=" + std::string(120, 'v') + "\n");
    std::vector<char> dest(80);
    EXPECT_EQ(readStr("Long", "d", path, dest.data()), std::string(79, 'v'));
    EXPECT_EQ(std::string(dest.data()), std::string(79, 'v'));
    EXPECT_EQ(readStr("Missing", std::string(200, 'd'), path, dest.data()), std::string(79, 'd'));
}

TEST_F(ProfileFile, LongKeysAreComparedWhole)
{
    const std::string key(150, 'k');
    const std::string path = profile(key + "=long key\n" + key.substr(0, 99) + "=cut key\n");
    EXPECT_EQ(readStr(key, "none", path), "long key");
    EXPECT_EQ(readStr(key.substr(0, 99), "none", path), "cut key");
    EXPECT_EQ(readStr(key.substr(0, 120), "none", path), "none");
}

TEST_F(ProfileFile, PathsOf511CharactersOrMoreWork)
{
    std::string name;
    while (name.size() < 600)
        name += std::string(50, 'p') + "/";
    const std::string path = dir.file(name + "settings.ini");
    ASSERT_GE(path.size(), 600u);
    EXPECT_EQ(write("Key", "created", path), 1);
    EXPECT_EQ(write("Key", "changed", path), 1);
    EXPECT_EQ(readStr("Key", "none", path), "changed");
    EXPECT_FALSE(fileExists(path + "~"));
}

// --- Writing entries ---

TEST_F(ProfileFile, WritingReplacesOnlyTheFirstEntry)
{
    const std::string path = profile("Key=1\nKey=2\n");
    EXPECT_EQ(write("Key", "3", path), 1);
    EXPECT_EQ(readFile(path), "Key=3\r\nKey=2\n");
    EXPECT_EQ(readStr("Key", "none", path), "3");
}

TEST_F(ProfileFile, WritingKeepsOtherLineEndsAndStripsIndentBeforeTheEntry)
{
    const std::string path = profile("  a=1\n\tb=2\r\nKey = old \n  c=3\n d=4");
    EXPECT_EQ(write("Key", "new", path), 1);
    EXPECT_EQ(readFile(path), "a=1\nb=2\r\nKey=new\r\n  c=3\n d=4");
    EXPECT_EQ(permissionsOf(path), 0666u);
}

TEST_F(ProfileFile, WritingAMissingKeyAddsNothingButRewritesTheFile)
{
    const std::string path = profile("  a=1\n");
    chmod(path.c_str(), 0600);
    EXPECT_EQ(write("Key", "v", path), 0);
    EXPECT_EQ(readFile(path), "a=1\n");
    EXPECT_EQ(permissionsOf(path), 0666u);
    EXPECT_FALSE(fileExists(path + "~"));
}

TEST_F(ProfileFile, WritingAMissingFileCreatesItWithTheEntry)
{
    const std::string path = dir.file("new.ini");
    CapturedStderr captured;
    EXPECT_EQ(write("Key", "Value", path), 1);
    EXPECT_EQ(readFile(path), "Key=Value\r\n");
    EXPECT_EQ(permissionsOf(path), 0666u);
    EXPECT_EQ(captured.text(),
        message(540, "Open file " + path + " failed with error number 2")
            + message(543,
                "File " + path + " is not found => Try to create it with Key=Key and Value=Value"));
}

TEST_F(ProfileFile, AFileInAMissingDirectoryCannotBeCreated)
{
    const std::string path = dir.path() + "/absent/new.ini";
    CapturedStderr captured;
    EXPECT_EQ(write("Key", "Value", path), 0);
    EXPECT_FALSE(fileExists(path));
    EXPECT_NE(captured.text().find(message(547, "Can NOT create file " + path)), std::string::npos);
}

TEST_F(ProfileFile, AnOpenFailureOtherThanAMissingFileWritesNothing)
{
    const std::string directory = dir.path() + "/directory.ini";
    mkdir(directory.c_str(), 0700);
    CapturedStderr captured;
    EXPECT_EQ(write("Key", "Value", directory), 0);
    EXPECT_EQ(
        captured.text(), message(540, "Open file " + directory + " failed with error number 21"));
}

TEST_F(ProfileFile, AnUncreatableTemporaryFileLeavesTheProfileAlone)
{
    const std::string path = profile("Key=1\n");
    dir.file("settings.ini~/blocker");
    CapturedStderr captured;
    EXPECT_EQ(write("Key", "2", path), 0);
    EXPECT_EQ(readFile(path), "Key=1\n");
    EXPECT_EQ(captured.text(), message(567, "Create file " + path + "~ failed"));
}

// --- Entries that could not be read back as written are refused ---

struct RefusedRow
{
    std::string key;
    std::string value;
};

class RefusedEntryRows : public testing::TestWithParam<RefusedRow>
{
};

TEST_P(RefusedEntryRows, LeaveTheFileUnchanged)
{
    TempDir dir;
    const std::string path = dir.file("settings.ini");
    writeFile(path, "Key=1\n");
    EXPECT_EQ(write(GetParam().key, GetParam().value, path), 0);
    EXPECT_EQ(readFile(path), "Key=1\n");
    EXPECT_EQ(write(GetParam().key, GetParam().value, dir.file("new.ini")), 0);
    EXPECT_FALSE(fileExists(dir.file("new.ini")));
}

INSTANTIATE_TEST_SUITE_P(Entries, RefusedEntryRows,
    testing::Values(RefusedRow { "Key", std::string(80, 'v') },
        RefusedRow { std::string(100, 'k'), "1" }, RefusedRow { "Key", "1\r\nOther=2" },
        RefusedRow { "Key\nOther", "1" }, RefusedRow { "a=b", "1" }),
    [](const testing::TestParamInfo<RefusedRow>& info) {
        return rowName(info.param.key.substr(0, 12)) + "_" + std::to_string(info.param.key.size())
            + "_" + rowName(info.param.value.substr(0, 12)) + "_"
            + std::to_string(info.param.value.size());
    });

TEST_F(ProfileFile, TheLongestStorableEntryReadsBackWhole)
{
    const std::string path = profile("");
    const std::string key(99, 'k');
    const std::string value(79, 'v');
    EXPECT_EQ(write(key, value, path + ".new"), 1);
    EXPECT_EQ(readStr(key, "none", path + ".new"), value);
}

TEST(ProfileFileArguments, NullArgumentsAreRefused)
{
    EXPECT_EQ(SetPrivateProfileStr(nullptr, text("v"), text("/nonexistent/x")), 0);
    EXPECT_EQ(SetPrivateProfileStr(text("k"), nullptr, text("/nonexistent/x")), 0);
    EXPECT_EQ(SetPrivateProfileStr(text("k"), text("v"), nullptr), 0);
    EXPECT_STREQ(GetPrivateProfileStr(nullptr, text("d"), nullptr, text("/x")), "d");
    EXPECT_STREQ(GetPrivateProfileStr(text("k"), nullptr, nullptr, nullptr), "");
}

// --- A failing write never loses the profile (file size limit in a child process) ---

int writeWithFileSizeLimit(
    const std::string& key, const std::string& value, const std::string& path, rlim_t limit)
{
    signal(SIGXFSZ, SIG_IGN);
    const rlimit fileSize { limit, limit };
    if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
        return 100;
    return write(key, value, path);
}

TEST_F(ProfileFile, AFailingCopyLeavesTheProfileExactlyAsItWas)
{
    std::string content = "  First=1\n";
    for (int i = 0; i < 200; ++i)
        content += "Entry" + std::to_string(i) + "=" + std::string(40, 'e') + "\n";
    content += "Key=old\n";
    const std::string path = profile(content);
    chmod(path.c_str(), 0640);
    EXPECT_EQ(runInChild([&] { return writeWithFileSizeLimit("Key", "new", path, 4096); }), 0);
    EXPECT_EQ(readFile(path), content);
    EXPECT_EQ(permissionsOf(path), 0640u);
    EXPECT_FALSE(fileExists(path + "~"));
}

TEST_F(ProfileFile, AFailingCopyOfTheTailLeavesTheProfileExactlyAsItWas)
{
    std::string content = "Key=old\n";
    for (int i = 0; i < 200; ++i)
        content += "Entry" + std::to_string(i) + "=" + std::string(40, 'e') + "\n";
    const std::string path = profile(content);
    EXPECT_EQ(runInChild([&] { return writeWithFileSizeLimit("Key", "new", path, 4096); }), 0);
    EXPECT_EQ(readFile(path), content);
    EXPECT_FALSE(fileExists(path + "~"));
}

TEST_F(ProfileFile, AFailingCreationLeavesNoFile)
{
    const std::string path = dir.file("new.ini");
    CapturedStderr captured;
    EXPECT_EQ(runInChild([&] { return writeWithFileSizeLimit("Key", "Value", path, 0); }), 0);
    EXPECT_FALSE(fileExists(path));
}

} // namespace
