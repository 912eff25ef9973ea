// The one writer of pages and PDFs: what it does with whatever stands at its target, as
// root and as another user.
#include "io/ReplacingFile.h"

#include "ChildProcess.h"
#include "Files.h"
#include "TableTest.h"
#include "TempDir.h"

#include <gmock/gmock.h>

#include <sys/stat.h>
#include <sys/syscall.h>

namespace {

constexpr uid_t NOBODY = 65534;

// "committed", or "refused <errno> <what stands there>".
std::string writeNew(const std::string& target)
{
    CReplacingFile file(target.c_str());
    if (file.Open() && file.Write("new", 3) && file.Commit())
        return "committed";
    return "refused " + std::to_string(file.Error()) + " " + file.Obstacle();
}

// What stands at page.htm ('-' nothing, 'f' a file with "old", 'l' a link to a file, 'd' a
// directory, 'p' a FIFO), its mode and owner, the directory's mode, who writes, the outcome,
// and the file and its mode at the target afterwards (null: no regular file there).
const std::tuple<const char*, char, mode_t, uid_t, mode_t, uid_t, const char*, const char*, mode_t>
    TARGETS[] = { { "Nothing", '-', 0, 0, 0755, 0, "committed", "new", 0640 },
        { "WritableFileKeepsItsMode", 'f', 0600, 0, 0755, 0, "committed", "new", 0600 },
        { "LinkIsReplaced", 'l', 0600, 0, 0755, 0, "committed", "new", 0640 },
        { "Directory", 'd', 0755, 0, 0755, 0,
            "refused 21 a directory owned by root (uid 0), mode 0755", nullptr, 0 },
        { "Fifo", 'p', 0644, 0, 0755, 0, "refused 22 a FIFO owned by root (uid 0), mode 0644",
            nullptr, 0 },
        { "ReadOnlyFileOfItsOwn", 'f', 0444, NOBODY, 0777, NOBODY,
            "refused 13 a file owned by nobody (uid 65534), mode 0444", "old", 0444 },
        { "OthersFileInStickyDirectory", 'f', 0644, 0, 01777, NOBODY,
            "refused 13 a file owned by root (uid 0), mode 0644", "old", 0644 },
        { "OthersWritableFileInStickyDirectoryInPlace", 'f', 0666, 0, 01777, NOBODY, "committed",
            "new", 0666 },
        { "WritableFileInClosedDirectoryInPlace", 'f', 0644, NOBODY, 0755, NOBODY, "committed",
            "new", 0644 } };
TABLE_TEST(Table, ReplacingFile, WritesOrRefusesAsFopenWould, TARGETS)
{
    const auto& [name, kind, mode, owner, directoryMode, writer, outcome, after, modeAfter] =
        GetParam();
    if (writer != 0 && geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    TempDir directory;
    const std::string target = directory.path() + "/page.htm";
    if (kind == 'f' || kind == 'l')
        files::Write(kind == 'l' ? directory.path() + "/victim" : target, "old");
    if (kind == 'l')
        symlink((directory.path() + "/victim").c_str(), target.c_str());
    kind == 'd' ? mkdir(target.c_str(), mode) : kind == 'p' ? mkfifo(target.c_str(), mode) : 0;
    chmod(target.c_str(), mode);
    chown(target.c_str(), owner, owner);
    chmod(directory.path().c_str(), directoryMode);
    const mode_t previous = static_cast<mode_t>(syscall(SYS_umask, 027));
    const ChildOutcome child = RunInChild([&, writer = writer] {
        if (writer != 0 && (setgid(writer) != 0 || setuid(writer) != 0))
            return 2;
        printf("%s", writeNew(target).c_str());
        return 0;
    });
    syscall(SYS_umask, previous);

    EXPECT_EQ(child.output.toStdString(), outcome);
    struct stat status;
    const bool regular = lstat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    EXPECT_EQ(regular, after != nullptr);
    EXPECT_EQ(after ? files::Read(target) : "", after ? after : "");
    EXPECT_EQ(regular ? status.st_mode & 07777 : 0, modeAfter);
    EXPECT_NE(files::Read(directory.path() + "/victim"), "new");
    EXPECT_EQ(files::Entries(directory.path()).size(), kind == 'l' ? 2u : 1u);
}

// Any name that fits the file system works: the temporary name has a fixed length.
TEST(ReplacingFile, WritesBesideTheTargetUnderARecognisableNameUntilCommitted)
{
    TempDir directory;
    const std::string target = directory.path() + "/" + std::string(255, 'r');
    files::Write(target, "earlier");
    {
        CReplacingFile file(target.c_str());
        ASSERT_TRUE(file.Open());
        EXPECT_THAT(file.WritingPath(),
            testing::MatchesRegex(directory.path() + "/\\.ReportGenerator-[A-Za-z0-9]{6}\\.tmp"));
        EXPECT_TRUE(file.Write("partial", 7));
    }
    EXPECT_EQ(files::Read(target), "earlier");
    EXPECT_EQ(writeNew(target), "committed");
    EXPECT_EQ(files::Entries(directory.path()), std::vector<std::string> { std::string(255, 'r') });
}

} // namespace
