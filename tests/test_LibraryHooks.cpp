// The load and unload hooks, each load in a child process of its own: the banner on
// standard error, the staging page removed at unload, the defaults of a fresh load.
#include "LibraryLoader.h"
#include "LockHolder.h"
#include "PipelineSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <sys/wait.h>

using namespace pipeline;
using ::testing::ContainsRegex;
using ::testing::MatchesRegex;

namespace {

using CreateReportHtmlFunction = int(
    const char*, const char*, const char*, const char*, const char*, const char*);
using SetTextDomainFunction = void(const char*, const char*);
using GetTextDomainFunction = void(char*, char*);
using GetLanguageFunction = const char*(int);
using GetTranslationFunction = const char*(const char*);

struct ChildRun
{
    int status;
    std::string standardError;
    std::string report; // what the body returned
};

std::string readWhole(FILE* file)
{
    std::string text;
    rewind(file);
    for (int c = fgetc(file); c != EOF; c = fgetc(file))
        text += static_cast<char>(c);
    fclose(file);
    return text;
}

// Runs body in a child process with standard error sent to a file; the unload hook of a
// library loaded there runs before the child ends.
ChildRun runInChild(const std::function<std::string()>& body)
{
    FILE* standardError = tmpfile();
    FILE* report = tmpfile();
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        dup2(fileno(standardError), STDERR_FILENO);
        const std::string text = body();
        fwrite(text.data(), 1, text.size(), report);
        fflush(nullptr);
        _exit(0);
    }
    int status = -1;
    waitpid(child, &status, 0);
    return ChildRun { status, readWhole(standardError), readWhole(report) };
}

std::string loadedFlag(const char* name, bool value)
{
    return std::string(name) + "=" + (value ? "yes" : "no") + "\n";
}

// The log line of the banner: level tag, time, counter, source and line, then the text.
const char* const BANNER_LINE =
    R"(\[ALERT  \] <[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8}>: +1: )"
    R"(f=main l=[0-9]+\. )"
    "\n\n\t\t\\*{97}\n"
    "\t\t\\*\\*\\*\\*\\*   Welcome to Orvane - REPORT GENERATOR version "
    "1\\.0\\.1 built on (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|"
    "Dec) [ 123][0-9] [0-9]{4} at [0-9]{2}:[0-9]{2}:[0-9]{2}   "
    "\\*\\*\\*\\*\\*\n"
    "\t\t\\*{97}\n\n\n";

TEST(LibraryHooks, LoadAndUnloadWriteOnlyTheBanner)
{
    unlink(STAGING_PAGE);
    const ChildRun run = runInChild([] {
        LibraryLoader library(RG_LIBRARY_FILE);
        const std::string loaded = loadedFlag("loaded", library.IsLoaded());
        return loaded + loadedFlag("unloaded", library.Close() == 0);
    });
    ASSERT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0);
    EXPECT_EQ(run.report, "loaded=yes\nunloaded=yes\n");
    // The logger's first line is preceded by two line breaks; the unload lines are debug
    // lines, below the default threshold.
    EXPECT_THAT(run.standardError, MatchesRegex(std::string("\n\n[^\n]*") + BANNER_LINE));
}

// What else happens to the staging page before the library is unloaded.
enum class Meanwhile { Nothing, AnotherProcessUsesThePage, AnotherProcessWritesItsPage };

struct UnloadCase
{
    const char* name;
    Meanwhile meanwhile;
    const char* keptAfterUnload;
};

class UnloadHook : public testing::TestWithParam<UnloadCase>
{
};

// The unload hook removes the page this process wrote, and only when nobody uses it.
TEST_P(UnloadHook, RemovesOnlyItsOwnPageWhenUnused)
{
    const Meanwhile meanwhile = GetParam().meanwhile;
    const ChildRun run = runInChild([meanwhile] {
        ScopedWorkingDirectory workingDirectory;
        WriteFile("page.htm", "<p>{~Report~}</p>\n");
        LibraryLoader library(RG_LIBRARY_FILE);
        auto createReportHtml = library.Symbol<CreateReportHtmlFunction>("CreateReportHtml");
        auto setTextDomain = library.Symbol<SetTextDomainFunction>("SetTextDomain");
        if (!createReportHtml || !setTextDomain)
            return std::string("symbols missing\n");
        setTextDomain(RG_PIPELINE_PACKAGE, RG_PIPELINE_LOCALE_DIR);
        const int result = createReportHtml("page.htm", "FRENCH", "<a/>", "", "l.png", "h.png");
        const std::string page = ReadFile(STAGING_PAGE);
        std::unique_ptr<LockHolder> otherReport;
        if (meanwhile == Meanwhile::AnotherProcessUsesThePage)
            otherReport = std::make_unique<LockHolder>(std::string(STAGING_PAGE) + ".lock");
        if (meanwhile == Meanwhile::AnotherProcessWritesItsPage) {
            WriteFile("other.htm", "<p>other</p>");
            rename("other.htm", STAGING_PAGE);
        }
        library.Close();
        return "result=" + std::to_string(result) + "\npage=" + page
            + loadedFlag("kept after unload", FileExists(STAGING_PAGE));
    });
    unlink(STAGING_PAGE);
    ASSERT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0);
    EXPECT_EQ(run.report,
        std::string("result=0\npage=<p>Rapport</p>\nkept after unload=")
            + GetParam().keptAfterUnload + "\n");
}

INSTANTIATE_TEST_SUITE_P(Pages, UnloadHook,
    testing::Values(UnloadCase { "OwnPageUnused", Meanwhile::Nothing, "no" },
        UnloadCase { "OwnPageInUse", Meanwhile::AnotherProcessUsesThePage, "yes" },
        UnloadCase { "PageOfAnotherProcess", Meanwhile::AnotherProcessWritesItsPage, "yes" }),
    [](const testing::TestParamInfo<UnloadCase>& info) { return info.param.name; });

// A fresh load starts from the defaults, whatever the previous load changed.
TEST(LibraryHooks, LoadSetsTheDefaultsAgain)
{
    const ChildRun run = runInChild([] {
        std::string report;
        for (int load = 0; load < 2; ++load) {
            LibraryLoader library(RG_LIBRARY_FILE);
            auto getTextDomain = library.Symbol<GetTextDomainFunction>("GetTextDomain");
            auto setTextDomain = library.Symbol<SetTextDomainFunction>("SetTextDomain");
            auto getLanguage = library.Symbol<GetLanguageFunction>("GetLanguage");
            auto translate = library.Symbol<GetTranslationFunction>("_Z15Get_TranslationPKc");
            if (!getTextDomain || !setTextDomain || !getLanguage || !translate)
                return std::string("symbols missing\n");
            char package[256] = {};
            char directory[256] = {};
            getTextDomain(package, directory);
            report += std::string(package) + " " + directory + "\n";
            // The en_US catalog of the tests translates "Customer": the language is English.
            setTextDomain(RG_PIPELINE_PACKAGE, RG_PIPELINE_LOCALE_DIR);
            report += std::string(translate("Customer")) + "\n";
            getLanguage(1);
        }
        return report;
    });
    ASSERT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0);
    const std::string defaults = "DovaReport /quelnor/release/ressources/locale\nCustomer name\n";
    EXPECT_EQ(run.report, defaults + defaults);
    EXPECT_THAT(run.standardError, ContainsRegex("Welcome to Orvane(.|\n)*Welcome to Orvane"));
}

} // namespace
