// The path rules of a report call: the template's directory, names resolved against the
// working directory, and the 256-byte buffers that hold them.
#include "TableTest.h"
#include "TempDir.h"
#include "report/ReportPaths.h"

#include <sys/stat.h>

namespace {

// '@' stands for the working directory.
template <class Row> struct Paths : Table<Row>
{
    std::string expected(const std::string& text) const
    {
        return text[0] == '@' ? directory.path() + text.substr(1) : text;
    }

    TempDir directory { TempDir::AsWorkingDirectory };
    CReportPaths paths;
};

// template, its directory
const std::tuple<const char*, const char*> TEMPLATES[] = { { "page.htm", "@/" },
    { "./page.htm", "@/" }, { "./dir/page.htm", "@/" }, { "/opt/tpl/page.htm", "/opt/tpl/" },
    { "tpl/page.htm", "tpl/" }, { "/opt/tpl/", "/opt/tpl/" } };
TABLE_TEST(Paths, TemplateDirectory, FollowsTheTemplateName, TEMPLATES)
{
    ASSERT_TRUE(paths.SetTemplate(std::get<0>(GetParam())) && paths.ReadWorkingDirectory()
        && paths.DeriveTemplateDirectory());
    EXPECT_EQ(paths.TemplateDirectory(), expected(std::get<1>(GetParam())));
}

// name, resolved
const std::tuple<const char*, const char*> NAMES[] = { { "img.png", "@/img.png" },
    { "./img.png", "@/img.png" }, { "./sub/img.png", "@/sub/img.png" },
    { "/data/img.png", "/data/img.png" }, { "sub/img.png", "sub/img.png" }, { "", "@/" },
    { ".", "@/." } };
TABLE_TEST(Paths, Resolve, JoinsOnlyNamesWithoutADirectory, NAMES)
{
    ASSERT_TRUE(paths.ReadWorkingDirectory());
    EXPECT_EQ(paths.Resolve(std::get<0>(GetParam())), expected(std::get<1>(GetParam())));
}

// Nested directories below base whose deepest path has length characters; it becomes the
// working directory.
void enterDirectoryOfLength(std::string path, size_t length)
{
    while (path.size() < length) {
        const size_t room = length - path.size() - 1;
        path += "/" + std::string(room > 200 ? (room == 201 ? 199 : 200) : room, 'd');
        mkdir(path.c_str(), 0700);
    }
    chdir(path.c_str());
}

// Each buffer holds 255 characters and the terminating zero; longer paths are refused, never
// cut. A bare template name lies in the working directory, which then needs room for "/".
TEST(ReportPathLimits, AreTwoHundredFiftyFiveCharacters)
{
    TempDir directory(TempDir::AsWorkingDirectory);
    CReportPaths paths;
    EXPECT_TRUE(paths.SetTemplate(std::string(255, 'n').c_str()));
    EXPECT_FALSE(paths.SetTemplate(std::string(256, 'n').c_str()));
    EXPECT_EQ(paths.Template(), std::string(255, 'n'));
    ASSERT_TRUE(paths.SetTemplate("/opt/tpl/page.htm") && paths.ReadWorkingDirectory()
        && paths.DeriveTemplateDirectory());
    EXPECT_FALSE(paths.AppendToTemplateDirectory(std::string(256 - 9, 'f').c_str()));
    EXPECT_TRUE(paths.AppendToTemplateDirectory(std::string(255 - 9, 'f').c_str()));
    enterDirectoryOfLength(directory.path(), 254);
    EXPECT_TRUE(paths.SetTemplate("page.htm") && paths.ReadWorkingDirectory()
        && paths.DeriveTemplateDirectory());
    enterDirectoryOfLength(directory.path(), 255);
    EXPECT_TRUE(paths.ReadWorkingDirectory());
    EXPECT_FALSE(paths.DeriveTemplateDirectory());
    enterDirectoryOfLength(directory.path(), 256);
    EXPECT_FALSE(paths.ReadWorkingDirectory());
}

} // namespace
