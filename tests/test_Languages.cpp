#include "localisation/Languages.h"
#include "report/LibraryStrings.h"

#include <ReportGenerator/ReportGenerator.h>

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstdlib>
#include <functional>
#include <locale.h>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Listing and selecting languages

class LanguageSelection : public testing::Test
{
protected:
    void TearDown() override { g_sLanguage = savedLanguage; }

    const std::string savedLanguage = g_sLanguage;
};

TEST_F(LanguageSelection, ThereAreEighteenLanguages)
{
    EXPECT_EQ(GetNumLanguages(), 18);
}

struct IndexCase
{
    int index;
    const char* name;
};

class LanguageOfIndex : public LanguageSelection, public testing::WithParamInterface<IndexCase>
{
};

TEST_P(LanguageOfIndex, BecomesTheCurrentLanguage)
{
    const char* name = GetLanguage(GetParam().index);
    EXPECT_STREQ(name, GetParam().name);
    EXPECT_EQ(g_sLanguage, GetParam().name);
    EXPECT_EQ(name, g_sLanguage.c_str());
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageOfIndex,
    testing::Values(IndexCase { 0, "ENGLISH" }, IndexCase { 1, "FRENCH" },
        IndexCase { 10, "TAIWANESE" }, IndexCase { 14, "NORWEGIAN" }, IndexCase { 17, "FINNISH" },
        IndexCase { 18, "ENGLISH" }, IndexCase { -1, "ENGLISH" }, IndexCase { INT_MAX, "ENGLISH" },
        IndexCase { INT_MIN, "ENGLISH" }),
    [](const testing::TestParamInfo<IndexCase>& info) {
        const int index = info.param.index;
        return (index < 0 ? "Minus" + std::to_string(-static_cast<long long>(index))
                          : std::to_string(index));
    });

TEST_F(LanguageSelection, ListingEveryLanguageLeavesTheLastOneCurrent)
{
    std::vector<std::string> names;
    for (int index = 0; index < GetNumLanguages(); ++index)
        names.emplace_back(GetLanguage(index));
    EXPECT_EQ(names.size(), 18u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 18u);
    EXPECT_EQ(g_sLanguage, "FINNISH");
}

// Locale codes of language names

struct CodeCase
{
    const char* name;
    const char* code;
};

class LocaleCode : public testing::TestWithParam<CodeCase>
{
};

TEST_P(LocaleCode, OfLanguageName)
{
    EXPECT_STREQ(LocaleCodeOfLanguage(GetParam().name), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Languages, LocaleCode,
    testing::Values(CodeCase { "ENGLISH", "en_US" }, CodeCase { "FRENCH", "fr_FR" },
        CodeCase { "NORWEGIAN", "nb_NO" }, CodeCase { "TAIWANESE", "zh_TW" },
        CodeCase { "FINNISH", "fi_FI" }, CodeCase { "french", "en_US" },
        CodeCase { "FRENCH ", "en_US" }, CodeCase { "", "en_US" }, CodeCase { "KLINGON", "en_US" }),
    [](const testing::TestParamInfo<CodeCase>& info) {
        std::string name;
        for (const char c : std::string(info.param.name))
            name += isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return std::to_string(info.index) + "_" + name;
    });

// Language of the environment, each case in a child process so that neither its
// variables nor the locale it sets reach other tests

struct Environment
{
    const char* name;
    std::vector<std::pair<const char*, std::string>> variables;
    const char* language;
};

// Runs body in a child process with only the given locale variables set; its text, or a
// note that the child failed.
std::string inChild(const std::vector<std::pair<const char*, std::string>>& variables,
    const std::function<std::string()>& body)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        for (const char* variable : { "LANGUAGE", "LANG", "LC_ALL", "LC_MESSAGES" })
            unsetenv(variable);
        for (const auto& [variable, value] : variables)
            setenv(variable, value.c_str(), 1);
        const std::string text = body();
        const bool written =
            write(fds[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    std::string text;
    char buffer[64];
    ssize_t count;
    while ((count = read(fds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(count));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "child failed";
}

const Environment ENVIRONMENTS[] = {
    // Installed locales, chosen by setlocale
    { "FrenchUtf8", { { "LANG", "fr_FR.UTF-8" } }, "FRENCH" },
    { "GermanEuroModifier", { { "LANG", "de_DE@euro" } }, "GERMAN" },
    { "TaiwaneseBig5", { { "LANG", "zh_TW.Big5" } }, "TAIWANESE" },
    { "JapaneseUtf8", { { "LANG", "ja_JP.UTF-8" } }, "JAPANESE" },
    { "LcAllOverLang", { { "LC_ALL", "fr_FR.UTF-8" }, { "LANG", "de_DE.UTF-8" } }, "FRENCH" },
    { "LangOverLanguage", { { "LANG", "fr_FR.UTF-8" }, { "LANGUAGE", "de_DE" } }, "FRENCH" },
    { "BritishEnglish", { { "LANG", "en_GB.UTF-8" } }, "ENGLISH" },
    { "CanadianFrench", { { "LANG", "fr_CA.UTF-8" } }, "ENGLISH" },
    { "Nothing", {}, "ENGLISH" },
    { "C", { { "LANG", "C" } }, "ENGLISH" },
    { "Posix", { { "LANG", "POSIX" } }, "ENGLISH" },
    // Locales the system lacks: the variables are read themselves
    { "NorwegianWithoutCodeset", { { "LANG", "nb_NO" } }, "NORWEGIAN" },
    { "BrazilianWithoutCodeset", { { "LANG", "pt_BR" } }, "ENGLISH" },
    { "OldNorwegianCode", { { "LANG", "no_NO" } }, "ENGLISH" },
    { "CaseDiffers", { { "LANG", "fr_fr" } }, "ENGLISH" },
    { "LanguageWhenSetlocaleFails", { { "LANG", "nb_NO" }, { "LANGUAGE", "de_DE" } }, "GERMAN" },
    { "LanguageListComparedWhole", { { "LANG", "nb_NO" }, { "LANGUAGE", "fr_FR:en_US" } },
        "ENGLISH" },
    { "EmptyLanguageStopsTheSearch", { { "LANG", "nb_NO" }, { "LANGUAGE", "" } }, "ENGLISH" },
    { "LcAllReadLast", { { "LC_ALL", "nb_NO" } }, "NORWEGIAN" },
    // Cut values too long for the buffer
    { "ThirtyOneCharacters", { { "LANG", "nb_NO" + std::string(26, 'O') } }, "ENGLISH" },
    { "ThirtyTwoCharacters", { { "LANG", "nb_NO" + std::string(27, 'O') } }, "ENGLISH" },
    { "LongCode", { { "LANG", "xx_" + std::string(400, 'Y') } }, "ENGLISH" },
    { "LongCodeBeforeCodeset", { { "LANG", "fr_FR" + std::string(40, 'R') + ".UTF-8" } },
        "ENGLISH" },
    { "LongCodeBeforeModifier", { { "LANG", "de_DE" + std::string(40, 'E') + "@euro" } },
        "ENGLISH" },
};

class CurrentSettingLanguage : public testing::TestWithParam<Environment>
{
};

TEST_P(CurrentSettingLanguage, FollowsTheEnvironment)
{
    EXPECT_EQ(
        inChild(GetParam().variables, [] { return std::string(GetCurrentSettingLanguage()); }),
        GetParam().language);
}

INSTANTIATE_TEST_SUITE_P(Languages, CurrentSettingLanguage, testing::ValuesIn(ENVIRONMENTS),
    [](const testing::TestParamInfo<Environment>& info) { return info.param.name; });

// The cases above assume exactly these locales; scripts/setup-debian.sh generates them.
TEST(CurrentSettingLanguage, MachineHasTheLocalesTheCasesAssume)
{
    for (const char* installed : { "fr_FR.UTF-8", "de_DE@euro", "zh_TW.Big5", "ja_JP.UTF-8",
             "de_DE.UTF-8", "en_GB.UTF-8", "fr_CA.UTF-8" }) {
        const locale_t locale = newlocale(LC_MESSAGES_MASK, installed, nullptr);
        EXPECT_TRUE(locale) << installed << " is missing: run scripts/setup-debian.sh";
        if (locale)
            freelocale(locale);
    }
    for (const char* missing : { "nb_NO", "pt_BR", "no_NO", "fr_fr" })
        EXPECT_FALSE(newlocale(LC_MESSAGES_MASK, missing, nullptr)) << missing;
}

TEST(CurrentSettingLanguage, ReadsTheEnvironmentAnewIntoTheSameBuffer)
{
    const auto twoCalls = [] {
        g_sLanguage = "TURKISH";
        const char* first = GetCurrentSettingLanguage();
        setenv("LANG", "de_DE.UTF-8", 1);
        const char* second = GetCurrentSettingLanguage();
        return std::string(first == second ? "same " : "other ") + second + " " + g_sLanguage;
    };
    EXPECT_EQ(inChild({ { "LANG", "fr_FR.UTF-8" } }, twoCalls), "same GERMAN TURKISH");
}

} // namespace
