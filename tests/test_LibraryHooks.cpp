// The load and unload hooks of the built library, each load in a child process of its own:
// the banner, the staging page at unload, the defaults of a fresh load.
#include "ChildProcess.h"
#include "Files.h"
#include "LibraryLoader.h"
#include "LockHolder.h"
#include "TableTest.h"
#include "TempDir.h"

#include <gmock/gmock.h>

#include <memory>

namespace {

using CreateReportHtmlFunction = int(
    const char*, const char*, const char*, const char*, const char*, const char*);
const char* const STAGING = "/tmp/DomReportGenerator.htm";

// The banner at ALERT and nothing else: the other lines of both hooks are debug lines.
TEST(LibraryHooks, LoadAndUnloadWriteOnlyTheBanner)
{
    const ChildOutcome child = RunInChild([] { return LibraryLoader(RG_LIBRARY_FILE).Close(); });
    EXPECT_EQ(0, child.exitCode);
    EXPECT_THAT(child.output.toStdString(),
        testing::MatchesRegex(
            "\n\n\\[[^\n]*\\]: \\[ALERT  \\] <[-0-9 :]{19}>: +1: f=main l=[0-9]+\\. "
            "\n\n\t\t\\*{97}\n"
            "\t\t\\*{5}   Welcome to Orvane - REPORT GENERATOR version 1\\.0\\.1 built on "
            "[A-Z][a-z]{2} "
            "[ 123][0-9] [0-9]{4} at [0-9]{2}:[0-9]{2}:[0-9]{2}   \\*{5}\n\t\t\\*{97}\n\n\n"));
}

// The unload hook removes the page this process wrote, and only when nobody uses it.
// what another process does meanwhile, the page kept after the unload
const std::tuple<const char*, bool> MEANWHILE[] = { { "nothing", false }, { "usesThePage", true },
    { "writesItsPage", true } };
TABLE_TEST(Table, UnloadHook, RemovesOnlyItsOwnPageWhenUnused, MEANWHILE)
{
    const std::string meanwhile = std::get<0>(GetParam());
    const ChildOutcome child = RunInChild([meanwhile] {
        TempDir directory(TempDir::AsWorkingDirectory);
        files::Write("page.htm", "<p>{~Report~}</p>\n");
        LibraryLoader library(RG_LIBRARY_FILE);
        auto create = library.Symbol<CreateReportHtmlFunction>("CreateReportHtml");
        if (!create || create("page.htm", "FRENCH", "<a/>", "", "l.png", "h.png") != 0)
            return 2;
        const auto otherReport = meanwhile == "usesThePage"
            ? std::make_unique<LockHolder>(std::string(STAGING) + ".lock")
            : nullptr;
        if (meanwhile == "writesItsPage")
            files::Write("other.htm", "<p>other</p>") && rename("other.htm", STAGING);
        library.Close();
        return files::Exists(STAGING) ? 1 : 0;
    });
    unlink(STAGING);
    EXPECT_EQ(std::get<1>(GetParam()) ? 1 : 0, child.exitCode) << child.output.toStdString();
}

// A fresh load starts from the defaults, whatever the previous load changed.
TEST(LibraryHooks, LoadSetsTheDefaultsAgain)
{
    const ChildOutcome child = RunInChild([] {
        for (int load = 0; load < 2; ++load) {
            LibraryLoader library(RG_LIBRARY_FILE);
            char package[256] = {};
            char directory[256] = {};
            library.Symbol<void(char*, char*)>("GetTextDomain")(package, directory);
            // The en_US catalog of the tests translates "Customer": the language is English.
            library.Symbol<void(const char*, const char*)>("SetTextDomain")(
                RG_PIPELINE_PACKAGE, RG_PIPELINE_LOCALE_DIR);
            printf("%s %s %s\n", package, directory,
                library.Symbol<const char*(const char*)>("_Z15Get_TranslationPKc")("Customer"));
            library.Symbol<const char*(int)>("GetLanguage")(1);
        }
        return 0;
    });
    const std::string defaults = "DovaReport /quelnor/release/ressources/locale Customer name\n";
    EXPECT_THAT(child.output.toStdString(), testing::EndsWith(defaults + defaults));
}

} // namespace
