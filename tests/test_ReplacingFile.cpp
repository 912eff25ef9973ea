// The one writer of pages and PDFs: what it does with whatever stands at its target, as
// root and as another user.
#include "io/ReplacingFile.h"

#include "ChildProcess.h"
#include "Files.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

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

struct TargetCase
{
    const char* name;
    // Prepares the directory (its path given) and returns the target's path.
    std::string (*prepare)(const std::string& directory);
    bool asNobody;
    const char* outcome;
    const char* contentAfter; // at the target; null: no regular file there
    mode_t modeAfter;
};

std::string plainFile(const std::string& directory, mode_t mode, uid_t owner)
{
    const std::string target = directory + "/page.htm";
    files::Write(target, "old");
    chmod(target.c_str(), mode);
    chown(target.c_str(), owner, owner);
    return target;
}

const TargetCase TARGET_CASES[] = {
    { "nothing", [](const std::string& d) { return d + "/page.htm"; }, false, "committed", "new",
        0640 },
    { "writableFileKeepsItsMode", [](const std::string& d) { return plainFile(d, 0600, 0); }, false,
        "committed", "new", 0600 },
    { "symbolicLinkIsReplaced",
        [](const std::string& d) {
            files::Write(d + "/victim", "old");
            symlink((d + "/victim").c_str(), (d + "/page.htm").c_str());
            return d + "/page.htm";
        },
        false, "committed", "new", 0640 },
    { "directory",
        [](const std::string& d) {
            mkdir((d + "/page.htm").c_str(), 0755);
            return d + "/page.htm";
        },
        false, "refused 21 a directory owned by root (uid 0), mode 0755", nullptr, 0 },
    { "fifo",
        [](const std::string& d) {
            mkfifo((d + "/page.htm").c_str(), 0644);
            return d + "/page.htm";
        },
        false, "refused 22 a FIFO owned by root (uid 0), mode 0644", nullptr, 0 },
    { "longestName", [](const std::string& d) { return d + "/" + std::string(255, 'n'); }, false,
        "committed", "new", 0640 },
    { "readOnlyFileOfItsOwn",
        [](const std::string& d) {
            chmod(d.c_str(), 0777);
            return plainFile(d, 0444, NOBODY);
        },
        true, "refused 13 a file owned by nobody (uid 65534), mode 0444", "old", 0444 },
    { "othersFileInStickyDirectory",
        [](const std::string& d) {
            chmod(d.c_str(), 01777);
            return plainFile(d, 0644, 0);
        },
        true, "refused 13 a file owned by root (uid 0), mode 0644", "old", 0644 },
    { "othersWritableFileInStickyDirectoryInPlace",
        [](const std::string& d) {
            chmod(d.c_str(), 01777);
            return plainFile(d, 0666, 0);
        },
        true, "committed", "new", 0666 },
    { "writableFileInClosedDirectoryInPlace",
        [](const std::string& d) { return plainFile(d, 0644, NOBODY); }, true, "committed", "new",
        0644 },
};

class ReplacingFileTarget : public testing::TestWithParam<TargetCase>
{
};

TEST_P(ReplacingFileTarget, IsWrittenOrRefusedAsFopenWould)
{
    const TargetCase& row = GetParam();
    if (row.asNobody && geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    TempDir directory;
    chmod(directory.path().c_str(), 0755);
    const std::string target = row.prepare(directory.path());
    const mode_t previous = static_cast<mode_t>(syscall(SYS_umask, 027));
    std::string outcome;
    if (row.asNobody) {
        const ChildOutcome child = RunInChild([&] {
            if (setgid(NOBODY) != 0 || setuid(NOBODY) != 0)
                return 2;
            printf("%s", writeNew(target).c_str());
            return 0;
        });
        outcome = child.output.toStdString();
    } else {
        outcome = writeNew(target);
    }
    syscall(SYS_umask, previous);

    EXPECT_EQ(outcome, row.outcome);
    struct stat status;
    const bool regular = lstat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode);
    EXPECT_EQ(regular, row.contentAfter != nullptr);
    if (row.contentAfter) {
        EXPECT_EQ(files::Read(target), row.contentAfter);
        EXPECT_EQ(status.st_mode & 07777, row.modeAfter);
    }
    EXPECT_NE(files::Read(directory.path() + "/victim"), "new");
    for (const std::string& name : files::Entries(directory.path()))
        EXPECT_EQ(name.find(".ReportGenerator-"), std::string::npos) << name;
}

INSTANTIATE_TEST_SUITE_P(Targets, ReplacingFileTarget, testing::ValuesIn(TARGET_CASES),
    [](const testing::TestParamInfo<TargetCase>& info) { return info.param.name; });

TEST(ReplacingFile, WritesBesideTheTargetUnderARecognisableNameUntilCommitted)
{
    TempDir directory;
    const std::string target = directory.path() + "/report.pdf";
    files::Write(target, "earlier");
    {
        CReplacingFile file(target.c_str());
        ASSERT_TRUE(file.Open());
        EXPECT_EQ(file.WritingPath().rfind(directory.path() + "/.ReportGenerator-", 0), 0u);
        EXPECT_EQ(file.WritingPath().substr(file.WritingPath().size() - 4), ".tmp");
        EXPECT_TRUE(file.Write("partial", 7));
    }
    EXPECT_EQ(files::Read(target), "earlier");
    EXPECT_EQ(files::Entries(directory.path()), std::vector<std::string> { "report.pdf" });
}

} // namespace
