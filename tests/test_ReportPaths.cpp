#include "PipelineSupport.h"
#include "report/ReportPaths.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <unistd.h>

namespace {

// A template of the given name, with the working directory a fresh temporary directory.
class ReportPathsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_FALSE(workingDirectory.Path().empty()); }

    bool derive(const char* templateName)
    {
        return paths.SetTemplate(templateName) && paths.ReadWorkingDirectory()
            && paths.DeriveTemplateDirectory();
    }
    std::string cwd() const { return workingDirectory.Path(); }

    pipeline::ScopedWorkingDirectory workingDirectory;
    CReportPaths paths;
};

// Template directory

struct TemplateDirectoryCase
{
    const char* name;
    const char* templateName;
    const char* directory; // empty: the working directory and "/"
};

class ReportPathsTemplateDirectory : public ReportPathsTest,
                                     public ::testing::WithParamInterface<TemplateDirectoryCase>
{
};

TEST_P(ReportPathsTemplateDirectory, FollowsTheTemplateName)
{
    const TemplateDirectoryCase& row = GetParam();
    ASSERT_TRUE(derive(row.templateName));
    EXPECT_EQ(paths.TemplateDirectory(), *row.directory ? row.directory : cwd() + "/");
}

INSTANTIATE_TEST_SUITE_P(Templates, ReportPathsTemplateDirectory,
    ::testing::Values(TemplateDirectoryCase { "BareName", "page.htm", "" },
        TemplateDirectoryCase { "DotSlash", "./page.htm", "" },
        TemplateDirectoryCase { "DotSlashSubdirectory", "./dir/page.htm", "" },
        TemplateDirectoryCase { "Absolute", "/opt/tpl/page.htm", "/opt/tpl/" },
        TemplateDirectoryCase { "RelativeDirectory", "tpl/page.htm", "tpl/" },
        TemplateDirectoryCase { "ParentDirectory", "../page.htm", "../" },
        TemplateDirectoryCase { "TrailingSlash", "/opt/tpl/", "/opt/tpl/" }),
    [](const auto& info) { return std::string(info.param.name); });

// Image paths and output names

struct ResolveCase
{
    const char* name;
    std::string path;
    std::string resolved; // "@CWD@" stands for the working directory
};

class ReportPathsResolve : public ReportPathsTest, public ::testing::WithParamInterface<ResolveCase>
{
};

TEST_P(ReportPathsResolve, JoinsOnlyNamesWithoutADirectory)
{
    const ResolveCase& row = GetParam();
    ASSERT_TRUE(derive("page.htm"));
    EXPECT_EQ(paths.Resolve(row.path), pipeline::ReplaceAll(row.resolved, "@CWD@", cwd()));
}

INSTANTIATE_TEST_SUITE_P(Paths, ReportPathsResolve,
    ::testing::Values(ResolveCase { "BareName", "img.png", "@CWD@/img.png" },
        ResolveCase { "DotSlash", "./img.png", "@CWD@/img.png" },
        ResolveCase { "DotSlashSubdirectory", "./sub/img.png", "@CWD@/sub/img.png" },
        ResolveCase { "Absolute", "/data/img.png", "/data/img.png" },
        ResolveCase { "RelativeDirectory", "sub/img.png", "sub/img.png" },
        ResolveCase { "Empty", "", "@CWD@/" }, ResolveCase { "DotAlone", ".", "@CWD@/." },
        ResolveCase {
            "LongerThanABuffer", "./" + std::string(300, 'x'), "@CWD@/" + std::string(300, 'x') }),
    [](const auto& info) { return std::string(info.param.name); });

// Buffer limits: 255 characters and the terminating zero.

TEST_F(ReportPathsTest, TakesATemplateNameOf255Characters)
{
    const std::string name(255, 'n');
    ASSERT_TRUE(paths.SetTemplate(name.c_str()));
    EXPECT_EQ(paths.Template(), name);
}

TEST_F(ReportPathsTest, RefusesATemplateNameOf256Characters)
{
    ASSERT_TRUE(paths.SetTemplate("earlier.htm"));
    EXPECT_FALSE(paths.SetTemplate(std::string(256, 'n').c_str()));
    EXPECT_STREQ(paths.Template(), "earlier.htm");
}

// A bare template name lies in the working directory, which then needs room for its "/".
TEST_F(ReportPathsTest, TakesAWorkingDirectoryOf254CharactersAsTemplateDirectory)
{
    const std::string directory = pipeline::MakeDirectoryOfLength(cwd(), 254);
    ASSERT_EQ(chdir(directory.c_str()), 0);
    ASSERT_TRUE(derive("page.htm"));
    EXPECT_EQ(paths.TemplateDirectory(), directory + "/");
}

TEST_F(ReportPathsTest, RefusesAWorkingDirectoryOf255CharactersAsTemplateDirectory)
{
    const std::string directory = pipeline::MakeDirectoryOfLength(cwd(), 255);
    ASSERT_EQ(chdir(directory.c_str()), 0);
    ASSERT_TRUE(paths.ReadWorkingDirectory());
    EXPECT_EQ(paths.WorkingDirectory(), directory);
    EXPECT_FALSE(derive("page.htm"));
    EXPECT_TRUE(derive("/opt/tpl/page.htm"));
}

TEST_F(ReportPathsTest, RefusesAWorkingDirectoryOf256Characters)
{
    const std::string directory = pipeline::MakeDirectoryOfLength(cwd(), 256);
    ASSERT_EQ(chdir(directory.c_str()), 0);
    errno = 0;
    EXPECT_FALSE(paths.ReadWorkingDirectory());
    EXPECT_EQ(errno, ERANGE);
}

TEST_F(ReportPathsTest, AppendsAFileNameUpTo255Characters)
{
    ASSERT_TRUE(derive("/opt/tpl/page.htm"));
    const std::string name(255 - 9, 'f');
    ASSERT_TRUE(paths.AppendToTemplateDirectory(name.c_str()));
    EXPECT_EQ(paths.TemplateDirectory(), "/opt/tpl/" + name);
}

TEST_F(ReportPathsTest, RefusesAFileNameBeyond255CharactersAndKeepsTheDirectory)
{
    ASSERT_TRUE(derive("/opt/tpl/page.htm"));
    EXPECT_FALSE(paths.AppendToTemplateDirectory(std::string(256 - 9, 'f').c_str()));
    EXPECT_STREQ(paths.TemplateDirectory(), "/opt/tpl/");
}

TEST_F(ReportPathsTest, TellsWhetherTheTemplateExists)
{
    pipeline::WriteFile("page.htm", "");
    ASSERT_TRUE(paths.SetTemplate("page.htm"));
    EXPECT_TRUE(paths.TemplateExists());
    ASSERT_TRUE(paths.SetTemplate("other.htm"));
    EXPECT_FALSE(paths.TemplateExists());
}

} // namespace
