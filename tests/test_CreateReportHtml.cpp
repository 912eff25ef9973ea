// CreateReportHtml as the instrument uses it: the built library loaded with dlopen, the
// page read back from the staging file and compared byte for byte with a reviewed page.
#include "LibraryLoader.h"
#include "LogConfig.h"
#include "LogState.h"
#include "PipelineSupport.h"
#include "PoCatalog.h"
#include "report/LibraryStrings.h"

#include <ReportGenerator/ReportGenerator.h>

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <vector>

using namespace pipeline;
using ::testing::ElementsAre;

namespace {

using CreateReportHtmlFunction = int(
    const char*, const char*, const char*, const char*, const char*, const char*);
using SetTextDomainFunction = void(const char*, const char*);
using GetTranslationFunction = const char*(const char*);

const std::string DATA_DIR = RG_PIPELINE_DATA_DIR;
const char* const SENTINEL_PAGE = "<p>page of an earlier report</p>\n";

const char* const CUSTOMER = "<CustomerInfo><Customer>Télécom Réseaux</Customer>"
                             "<Operator>Amélie</Operator></CustomerInfo>";
const char* const CHECKER = "<CheckerResults><Passed>TRUE</Passed></CheckerResults>";

std::string dataFile(const std::string& name)
{
    return DATA_DIR + "/" + name;
}

// The log as text; Latin-1 keeps every byte as it was written.
QString logText(const std::string& log)
{
    return QString::fromLatin1(log.data(), static_cast<int>(log.size()));
}

// The library's error lines ("[ERROR  ] ... f=main l=N. message"), messages only.
std::vector<std::string> errorMessagesOfMain(const std::string& log)
{
    static const QRegularExpression errorLine(
        QStringLiteral(R"(\[ERROR  \] <[^>]*>: *[0-9]+: f=main l=[0-9]+\. ([^\n]*))"));
    std::vector<std::string> messages;
    auto matches = errorLine.globalMatch(logText(log));
    while (matches.hasNext())
        messages.push_back(matches.next().captured(1).toLatin1().toStdString());
    return messages;
}

class CreateReportHtmlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // Dates on the pages are local times.
        setenv("TZ", "UTC", 1);
        tzset();
        library = new LibraryLoader(RG_LIBRARY_FILE);
        ASSERT_TRUE(library->IsLoaded()) << LibraryLoader::Error();
        createReportHtml = library->Symbol<CreateReportHtmlFunction>("CreateReportHtml");
        setTextDomain = library->Symbol<SetTextDomainFunction>("SetTextDomain");
        getTranslation = library->Symbol<GetTranslationFunction>("_Z15Get_TranslationPKc");
    }
    static void TearDownTestSuite()
    {
        delete library;
        library = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(createReportHtml && setTextDomain && getTranslation);
        ASSERT_FALSE(workingDirectory.Path().empty());
        setTextDomain(RG_PIPELINE_PACKAGE, RG_PIPELINE_LOCALE_DIR);
        WriteFile(STAGING_PAGE, SENTINEL_PAGE);
    }

    int createReport(const char* templateFile, const char* language = "ENGLISH",
        const char* checker = CHECKER, const char* customer = CUSTOMER, const char* low = "low.png",
        const char* high = "./high.png")
    {
        return createReportHtml(templateFile, language, checker, customer, low, high);
    }

    // The reviewed page with the paths of this machine put in.
    std::string expectedPage(const std::string& name, const std::string& templateDirectory)
    {
        std::string page = ReadFile(dataFile(name));
        page = ReplaceAll(page, "@TEMPLATE_DIR@", templateDirectory);
        return ReplaceAll(page, "@CWD@", workingDirectory.Path());
    }

    static LibraryLoader* library;
    static CreateReportHtmlFunction* createReportHtml;
    static SetTextDomainFunction* setTextDomain;
    static GetTranslationFunction* getTranslation;
    ScopedWorkingDirectory workingDirectory;
};

LibraryLoader* CreateReportHtmlTest::library = nullptr;
CreateReportHtmlFunction* CreateReportHtmlTest::createReportHtml = nullptr;
SetTextDomainFunction* CreateReportHtmlTest::setTextDomain = nullptr;
GetTranslationFunction* CreateReportHtmlTest::getTranslation = nullptr;

// Pages: image markers, labels in and out of the catalogs, languages outside the table.

struct PageCase
{
    const char* name;
    const char* templateFile;
    const char* language;
    const char* expectedFile;
};

class CreateReportHtmlPage : public CreateReportHtmlTest,
                             public ::testing::WithParamInterface<PageCase>
{
};

TEST_P(CreateReportHtmlPage, MatchesTheReviewedPage)
{
    const PageCase& row = GetParam();
    ASSERT_EQ(createReport(dataFile(row.templateFile).c_str(), row.language), 0);
    EXPECT_EQ(ReadFile(STAGING_PAGE), expectedPage(row.expectedFile, DATA_DIR + "/"));
}

INSTANTIATE_TEST_SUITE_P(Markers, CreateReportHtmlPage,
    ::testing::Values(
        PageCase { "NoMarker", "no-markers.htm", "ENGLISH", "no-markers.expected.htm" },
        PageCase { "OneImage", "one-image.htm", "ENGLISH", "one-image.expected.htm" },
        PageCase { "TwoImages", "two-images.htm", "ENGLISH", "two-images.expected.htm" },
        PageCase { "ThreeImages", "three-images.htm", "ENGLISH", "three-images.expected.htm" },
        PageCase { "FiveImages", "five-images.htm", "ENGLISH", "five-images.expected.htm" },
        PageCase { "LabelsInFrench", "labels.htm", "FRENCH", "labels-french.expected.htm" },
        PageCase { "LabelsInEnglish", "labels.htm", "ENGLISH", "labels-en_US.expected.htm" },
        PageCase { "LowerCaseLanguage", "labels.htm", "french", "labels-en_US.expected.htm" },
        PageCase { "UnlistedLanguage", "labels.htm", "KLINGON", "labels-en_US.expected.htm" },
        PageCase { "EmptyLanguage", "labels.htm", "", "labels-en_US.expected.htm" },
        PageCase {
            "LanguageWithoutCatalog", "labels.htm", "GERMAN", "labels-untranslated.expected.htm" }),
    [](const auto& info) { return std::string(info.param.name); });

// The customer text and the checker text are joined with nothing between them.
TEST_F(CreateReportHtmlTest, JoinsTheTwoXmlTextsWithoutSeparator)
{
    ASSERT_EQ(createReport(dataFile("tags.htm").c_str(), "FRENCH",
                  "rth</Site><Passed>TRUE</Passed><Checked>FALSE</Checked>",
                  "<Customer>Télécom Réseaux</Customer><Site>No"),
        0);
    EXPECT_EQ(ReadFile(STAGING_PAGE), expectedPage("tags.expected.htm", ""));
}

TEST_F(CreateReportHtmlTest, TakesTheLanguageOfTheEnvironmentWhenNoneIsGiven)
{
    for (const char* variable : { "LC_ALL", "LC_MESSAGES", "LANGUAGE" })
        unsetenv(variable);
    setenv("LANG", "fr_FR.UTF-8", 1);
    ASSERT_EQ(createReport(dataFile("labels.htm").c_str(), nullptr), 0);
    unsetenv("LANG");
    EXPECT_EQ(ReadFile(STAGING_PAGE), expectedPage("labels-french.expected.htm", ""));
}

// Where the template lies decides the directory of its last image.

struct TemplateLocationCase
{
    const char* name;
    const char* templateArgument;
    const char* templateDirectory; // "@CWD@" stands for the working directory
};

class CreateReportHtmlTemplateLocation : public CreateReportHtmlTest,
                                         public ::testing::WithParamInterface<TemplateLocationCase>
{
};

TEST_P(CreateReportHtmlTemplateLocation, PutsTheLastImageInTheTemplateDirectory)
{
    const TemplateLocationCase& row = GetParam();
    mkdir("sub", 0700);
    const std::string page = ReadFile(dataFile("three-images.htm"));
    WriteFile("page.htm", page);
    WriteFile("sub/page.htm", page);
    ASSERT_EQ(createReport(row.templateArgument), 0);
    EXPECT_EQ(
        ReadFile(STAGING_PAGE), expectedPage("three-images.expected.htm", row.templateDirectory));
}

INSTANTIATE_TEST_SUITE_P(Templates, CreateReportHtmlTemplateLocation,
    ::testing::Values(TemplateLocationCase { "BareName", "page.htm", "@CWD@/" },
        TemplateLocationCase { "DotSlash", "./page.htm", "@CWD@/" },
        TemplateLocationCase { "DotSlashSubdirectory", "./sub/page.htm", "@CWD@/" },
        TemplateLocationCase { "RelativeDirectory", "sub/page.htm", "sub/" }),
    [](const auto& info) { return std::string(info.param.name); });

// The inspection image paths are resolved against the working directory.

struct ImagePathCase
{
    const char* name;
    const char* argument;
    const char* resolved; // "@CWD@" stands for the working directory
};

class CreateReportHtmlImagePath : public CreateReportHtmlTest,
                                  public ::testing::WithParamInterface<ImagePathCase>
{
};

TEST_P(CreateReportHtmlImagePath, ResolvesAgainstTheWorkingDirectory)
{
    const ImagePathCase& row = GetParam();
    ASSERT_EQ(createReport(dataFile("two-images.htm").c_str(), "ENGLISH", CHECKER, CUSTOMER,
                  row.argument, row.argument),
        0);
    std::string expected = ReadFile(dataFile("two-images.expected.htm"));
    expected = ReplaceAll(expected, "@CWD@/low.png", row.resolved);
    expected = ReplaceAll(expected, "@CWD@/high.png", row.resolved);
    EXPECT_EQ(ReadFile(STAGING_PAGE), ReplaceAll(expected, "@CWD@", workingDirectory.Path()));
}

INSTANTIATE_TEST_SUITE_P(Images, CreateReportHtmlImagePath,
    ::testing::Values(ImagePathCase { "BareName", "img.png", "@CWD@/img.png" },
        ImagePathCase { "DotSlash", "./img.png", "@CWD@/img.png" },
        ImagePathCase { "Absolute", "/data/img.png", "/data/img.png" },
        ImagePathCase { "RelativeDirectory", "sub/img.png", "sub/img.png" },
        ImagePathCase { "Empty", "", "@CWD@/" }),
    [](const auto& info) { return std::string(info.param.name); });

// Missing arguments: result 1, one error line, the staging page untouched.

struct NullArgumentCase
{
    const char* name;
    int argument;
    const char* message;
};

class CreateReportHtmlNullArgument : public CreateReportHtmlTest,
                                     public ::testing::WithParamInterface<NullArgumentCase>
{
};

TEST_P(CreateReportHtmlNullArgument, FailsWithItsMessage)
{
    const NullArgumentCase& row = GetParam();
    const std::string templateFile = dataFile("labels.htm");
    const char* arguments[] = { templateFile.c_str(), "FRENCH", CHECKER, CUSTOMER, "low.png",
        "high.png" };
    arguments[row.argument] = nullptr;
    StderrCapture log;
    EXPECT_EQ(createReportHtml(arguments[0], arguments[1], arguments[2], arguments[3], arguments[4],
                  arguments[5]),
        1);
    EXPECT_THAT(errorMessagesOfMain(log.Text()), ElementsAre(row.message));
    EXPECT_EQ(ReadFile(STAGING_PAGE), SENTINEL_PAGE);
}

INSTANTIATE_TEST_SUITE_P(Arguments, CreateReportHtmlNullArgument,
    ::testing::Values(
        NullArgumentCase { "Template", 0, "CreateReportHtml::HTML Template file is NULL" },
        NullArgumentCase { "Checker", 2, "CreateReportHtml::XML HDC Checker Buffer is NULL" },
        NullArgumentCase { "Customer", 3, "CreateReportHtml::XML Customer Info Buffer is NULL" },
        NullArgumentCase {
            "LowMag", 4, "CreateReportHtml::Image for Low Magnification Path name is NULL" },
        NullArgumentCase {
            "HighMag", 5, "CreateReportHtml::Image for High Magnification Path name is NULL" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CreateReportHtmlTest, KeepsTheLanguageAfterALaterFailure)
{
    EXPECT_EQ(createReport(dataFile("labels.htm").c_str(), "FRENCH", nullptr), 1);
    EXPECT_STREQ(getTranslation("Customer"), "Client");
}

TEST_F(CreateReportHtmlTest, LeavesTheLanguageWithoutATemplate)
{
    EXPECT_EQ(createReport(dataFile("labels.htm").c_str(), "FRENCH", nullptr), 1);
    EXPECT_EQ(createReport(nullptr, "ENGLISH"), 1);
    EXPECT_STREQ(getTranslation("Customer"), "Client");
}

TEST_F(CreateReportHtmlTest, FailsOnAMissingTemplate)
{
    StderrCapture log;
    EXPECT_EQ(createReport("missing.htm"), 1);
    EXPECT_EQ(createReport(""), 1);
    EXPECT_THAT(errorMessagesOfMain(log.Text()),
        ElementsAre("CreateReportHtml::Template File missing.htm NOT FOUND",
            "CreateReportHtml::Template File  NOT FOUND"));
    EXPECT_EQ(ReadFile(STAGING_PAGE), SENTINEL_PAGE);
}

// XML that does not parse leaves the page of the earlier report in place.

struct BadXmlCase
{
    const char* name;
    const char* checker;
    const char* customer;
};

class CreateReportHtmlBadXml : public CreateReportHtmlTest,
                               public ::testing::WithParamInterface<BadXmlCase>
{
};

TEST_P(CreateReportHtmlBadXml, FailsAndKeepsTheStagingPage)
{
    const BadXmlCase& row = GetParam();
    EXPECT_EQ(createReport(dataFile("tags.htm").c_str(), "ENGLISH", row.checker, row.customer), 1);
    EXPECT_EQ(ReadFile(STAGING_PAGE), SENTINEL_PAGE);
}

INSTANTIATE_TEST_SUITE_P(Xml, CreateReportHtmlBadXml,
    ::testing::Values(BadXmlCase { "UnclosedCustomer", CHECKER, "<CustomerInfo><Customer>" },
        BadXmlCase {
            "CheckerWithDeclaration", "<?xml version=\"1.0\"?><CheckerResults/>", CUSTOMER },
        BadXmlCase { "CheckerNotXml", "TRUE < FALSE", CUSTOMER }),
    [](const auto& info) { return std::string(info.param.name); });

// A page that cannot be written is a failure, so that no stale page gets rendered.
TEST_F(CreateReportHtmlTest, FailsWhenTheStagingPageCannotBeWritten)
{
    ASSERT_EQ(unlink(STAGING_PAGE), 0);
    ASSERT_EQ(mkdir(STAGING_PAGE, 0700), 0);
    const int result = createReport(dataFile("labels.htm").c_str());
    rmdir(STAGING_PAGE);
    EXPECT_EQ(result, 1);
}

// Paths that do not fit their 256-byte buffers are refused, never cut.

TEST_F(CreateReportHtmlTest, TakesATemplatePathOf255Characters)
{
    WriteFile("page.htm", ReadFile(dataFile("no-markers.htm")));
    const std::string prefix = workingDirectory.Path() + "/";
    const std::string path = prefix + std::string(255 - prefix.size() - 8, '/') + "page.htm";
    ASSERT_EQ(path.size(), 255U);
    EXPECT_EQ(createReport(path.c_str()), 0);
}

TEST_F(CreateReportHtmlTest, RefusesATemplatePathOf256Characters)
{
    WriteFile("page.htm", ReadFile(dataFile("no-markers.htm")));
    const std::string prefix = workingDirectory.Path() + "/";
    const std::string path = prefix + std::string(256 - prefix.size() - 8, '/') + "page.htm";
    ASSERT_TRUE(FileExists(path));
    StderrCapture log;
    EXPECT_EQ(createReport(path.c_str()), 1);
    EXPECT_THAT(errorMessagesOfMain(log.Text()),
        ElementsAre(
            "CreateReportHtml::Template File name " + path + " is longer than 255 characters"));
    EXPECT_EQ(ReadFile(STAGING_PAGE), SENTINEL_PAGE);
}

TEST_F(CreateReportHtmlTest, RefusesAWorkingDirectoryLongerThanItsBuffer)
{
    const std::string directory = MakeDirectoryOfLength(workingDirectory.Path(), 256);
    ASSERT_EQ(chdir(directory.c_str()), 0);
    StderrCapture log;
    EXPECT_EQ(createReport(dataFile("no-markers.htm").c_str()), 1);
    EXPECT_THAT(errorMessagesOfMain(log.Text()),
        ElementsAre("CreateReportHtml::<ERROR " + std::to_string(ERANGE)
            + ">::Fail to read the working directory into 256 bytes"));
    EXPECT_EQ(ReadFile(STAGING_PAGE), SENTINEL_PAGE);
}

// The working directory and its "/" make the template directory of a bare template name.
TEST_F(CreateReportHtmlTest, RefusesATemplateDirectoryLongerThanItsBuffer)
{
    const std::string directory = MakeDirectoryOfLength(workingDirectory.Path(), 255);
    ASSERT_EQ(chdir(directory.c_str()), 0);
    WriteFile("page.htm", ReadFile(dataFile("no-markers.htm")));
    StderrCapture log;
    EXPECT_EQ(createReport("page.htm"), 1);
    EXPECT_THAT(errorMessagesOfMain(log.Text()),
        ElementsAre("CreateReportHtml::Directory of template page.htm in " + directory
            + " is longer than 255 characters"));
    EXPECT_EQ(ReadFile(STAGING_PAGE), SENTINEL_PAGE);
    EXPECT_EQ(createReport(dataFile("no-markers.htm").c_str()), 0);
}

// A template directory plus the last image's name.
class CreateReportHtmlLastImage : public CreateReportHtmlTest
{
protected:
    // A three-image template in the working directory whose last item makes the image path
    // pathLength characters long.
    std::string writeTemplate(size_t pathLength)
    {
        const size_t nameLength = pathLength - workingDirectory.Path().size() - 1;
        lastImage = workingDirectory.Path() + "/" + std::string(nameLength, 'i');
        WriteFile("page.htm",
            "<img src=\"{$a$}\"><img src=\"{$b$}\"><img src=\"{$" + std::string(nameLength, 'i')
                + "$}\">\n");
        return "page.htm";
    }
    std::string lastImage;
};

TEST_F(CreateReportHtmlLastImage, FitsWith255Characters)
{
    ASSERT_EQ(createReport(writeTemplate(255).c_str()), 0);
    EXPECT_EQ(ReadFile(STAGING_PAGE),
        "<img src=\"" + workingDirectory.Path() + "/low.png\"><img src=\"" + workingDirectory.Path()
            + "/high.png\"><img src=\"" + lastImage + "\">\n");
}

TEST_F(CreateReportHtmlLastImage, IsRefusedWith256Characters)
{
    const std::string templateFile = writeTemplate(256);
    StderrCapture log;
    EXPECT_EQ(createReport(templateFile.c_str()), 1);
    EXPECT_THAT(errorMessagesOfMain(log.Text()),
        ElementsAre(
            "CreateReportHtml::Image path " + lastImage + " is longer than 255 characters"));
    EXPECT_EQ(ReadFile(STAGING_PAGE), SENTINEL_PAGE);
}

#ifdef RG_EXAMPLE_DIR
// The bundled example in every report language.

const std::string EXAMPLE_DIR = RG_EXAMPLE_DIR;
const std::string EXAMPLE_TEMPLATE = EXAMPLE_DIR + "/report/EndFaceReport.htm";

// How the page writes a text: Latin-1 bytes, other characters as decimal references.
std::string pageText(const std::string& utf8)
{
    std::string bytes;
    for (const uint codePoint : QString::fromStdString(utf8).toUcs4()) {
        if (codePoint <= 0xFF)
            bytes += static_cast<char>(codePoint);
        else
            bytes += "&#" + std::to_string(codePoint) + ";";
    }
    return bytes;
}

// The label items of a template, in order, as the scanner finds them in plain templates.
std::vector<std::string> templateLabels(const std::string& templateText)
{
    static const QRegularExpression label(QStringLiteral("\\{~(.*?)~\\}"));
    std::vector<std::string> labels;
    auto matches = label.globalMatch(QString::fromStdString(templateText));
    while (matches.hasNext())
        labels.push_back(matches.next().captured(1).toStdString());
    return labels;
}

class CreateReportHtmlExample : public CreateReportHtmlTest
{
protected:
    void SetUp() override
    {
        CreateReportHtmlTest::SetUp();
        setTextDomain(RG_EXAMPLE_PACKAGE, RG_EXAMPLE_LOCALE_DIR);
    }

    int createExample(const char* language)
    {
        const std::string checker = ReadFile(EXAMPLE_DIR + "/data/CheckerResults.xml");
        const std::string customer = ReadFile(EXAMPLE_DIR + "/data/CustomerInfo.xml");
        const std::string imageDirectory = RG_EXAMPLE_IMAGE_DIR;
        return createReportHtml(EXAMPLE_TEMPLATE.c_str(), language, checker.c_str(),
            customer.c_str(), (imageDirectory + "/lowmag.png").c_str(),
            (imageDirectory + "/highmag.png").c_str());
    }
};

TEST_F(CreateReportHtmlExample, MatchesTheReviewedFrenchPage)
{
    ASSERT_EQ(createExample("FRENCH"), 0);
    std::string expected = ReadFile(dataFile("example-french.expected.htm"));
    expected = ReplaceAll(expected, "@IMAGE_DIR@", RG_EXAMPLE_IMAGE_DIR);
    expected = ReplaceAll(expected, "@TEMPLATE_DIR@", EXAMPLE_DIR + "/report/");
    EXPECT_EQ(ReadFile(STAGING_PAGE), expected);
}

struct LanguageCase
{
    const char* name;
    const char* localeCode;
};

class CreateReportHtmlLanguage : public CreateReportHtmlExample,
                                 public ::testing::WithParamInterface<LanguageCase>
{
};

// The translated words that the XML side adds: the badges of the results and the names of
// the four zones.
std::vector<std::string> resultWords(const PoCatalog& catalog)
{
    std::vector<std::string> words {
        "<span class=\"Fail\">" + catalog.Translate("Fail").substr(0, 50) + "</span>",
        "<span class=\"Pass\">" + catalog.Translate("Pass").substr(0, 50) + "</span>",
    };
    for (const char letter : { 'A', 'B', 'C', 'D' })
        words.push_back((catalog.Translate("Zone") + " ").substr(0, 19) + letter);
    return words;
}

// Labels, badges and zone names are checked against the .po file itself.
TEST_P(CreateReportHtmlLanguage, RendersACompletePage)
{
    const PoCatalog catalog(EXAMPLE_DIR + "/po/" + GetParam().localeCode + ".po");
    ASSERT_GT(catalog.Size(), 0U);
    ASSERT_EQ(createExample(GetParam().name), 0);
    const std::string page = ReadFile(STAGING_PAGE);
    for (const char* marker : { "{~", "~}", "{@", "@}", "{$", "$}" })
        EXPECT_EQ(page.find(marker), std::string::npos) << marker;

    const std::string templateText = ReadFile(EXAMPLE_TEMPLATE);
    std::string sources = templateText + ReadFile(EXAMPLE_DIR + "/data/CheckerResults.xml")
        + ReadFile(EXAMPLE_DIR + "/data/CustomerInfo.xml");
    size_t from = 0;
    for (const std::string& label : templateLabels(templateText)) {
        const std::string expected = pageText(catalog.Translate(label));
        const size_t found = page.find(expected, from);
        ASSERT_NE(found, std::string::npos) << label << " -> " << catalog.Translate(label);
        from = found + expected.size();
        sources += expected;
    }
    for (const std::string& word : resultWords(catalog)) {
        EXPECT_NE(page.find(pageText(word)), std::string::npos) << word;
        sources += word;
    }
    ASSERT_EQ(sources.find('?'), std::string::npos) << "the check below needs sources without '?'";
    EXPECT_EQ(page.find('?'), std::string::npos) << "a character was replaced";
}

INSTANTIATE_TEST_SUITE_P(Languages, CreateReportHtmlLanguage,
    ::testing::Values(LanguageCase { "ENGLISH", "en_US" }, LanguageCase { "FRENCH", "fr_FR" },
        LanguageCase { "GERMAN", "de_DE" }, LanguageCase { "SPANISH", "es_ES" },
        LanguageCase { "ITALIAN", "it_IT" }, LanguageCase { "PORTUGUESE", "pt_PT" },
        LanguageCase { "POLISH", "pl_PL" }, LanguageCase { "RUSSIAN", "ru_RU" },
        LanguageCase { "TURKISH", "tr_TR" }, LanguageCase { "CHINESE", "zh_CN" },
        LanguageCase { "TAIWANESE", "zh_TW" }, LanguageCase { "KOREAN", "ko_KR" },
        LanguageCase { "JAPANESE", "ja_JP" }, LanguageCase { "SWEDISH", "sv_SE" },
        LanguageCase { "NORWEGIAN", "nb_NO" }, LanguageCase { "CZECH", "cs_CZ" },
        LanguageCase { "HUNGARIAN", "hu_HU" }, LanguageCase { "FINNISH", "fi_FI" }),
    [](const auto& info) { return std::string(info.param.name); });
#endif

// State that the host cannot see, reached through the library's linked objects.

TEST(CreateReportHtmlState, LeavesTheImagePathsUnresolvedAfterAMissingTemplate)
{
    ScopedWorkingDirectory workingDirectory;
    EXPECT_EQ(
        CreateReportHtml("missing.htm", "ENGLISH", CHECKER, CUSTOMER, "low.png", "./high.png"), 1);
    EXPECT_EQ(g_sImageLowMagPath, "low.png");
    EXPECT_EQ(g_sImageHighMagPath, "./high.png");
    WriteFile("page.htm", "<p>no marker</p>\n");
    EXPECT_EQ(
        CreateReportHtml("page.htm", "ENGLISH", CHECKER, CUSTOMER, "low.png", "./high.png"), 0);
    EXPECT_EQ(g_sImageLowMagPath, workingDirectory.Path() + "/low.png");
    EXPECT_EQ(g_sImageHighMagPath, workingDirectory.Path() + "/high.png");
}

// The trace of a call, in order. The debug lines need a filter file that lets every
// level through; only the lines of CreateReportHtml itself are compared.

// Log records of "main" whose message is CreateReportHtml's, as "[LEVEL] message".
std::string traceOfCreateReportHtml(const std::string& log)
{
    // The system log puts its "[program][pid]: " in front of each line on standard error.
    static const QRegularExpression prefix(QStringLiteral(
        R"((?:\[[^\]\n]*\]\[[0-9]+\]: )?\[([A-Z]+) *\] <[^>]*>: *[0-9]+: f=(\S*) l=[0-9]+\. )"));
    const QString text = logText(log);
    std::vector<QRegularExpressionMatch> records;
    for (auto matches = prefix.globalMatch(text); matches.hasNext();)
        records.push_back(matches.next());
    std::string trace;
    for (size_t index = 0; index < records.size(); ++index) {
        const int end =
            index + 1 < records.size() ? records[index + 1].capturedStart() : text.size();
        const QString message =
            text.mid(records[index].capturedEnd(), end - records[index].capturedEnd());
        const bool own = message.startsWith(QLatin1String("CreateReportHtml::"))
            || message == QLatin1String("DONE\n\n");
        if (records[index].captured(2) == QLatin1String("main") && own)
            trace += "[" + records[index].captured(1).toStdString() + "] "
                + message.toLatin1().toStdString();
    }
    return trace;
}

struct TraceCase
{
    const char* name;
    bool withTemplate;
    const char* customer;
    const char* expectedFile;
};

// The library's own code, linked in, with every level emitted.
class DebugLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(workingDirectory.Path().empty());
        WriteFile(std::string(program_invocation_short_name) + ".conf", "DEBUG\n");
        SetLogConfigDirectory((workingDirectory.Path() + "/").c_str());
        ResetLogState();
        for (const char* variable : { "LC_ALL", "LC_MESSAGES", "LANGUAGE" })
            unsetenv(variable);
        setenv("LANG", "C", 1);
        SetTextDomain(RG_PIPELINE_PACKAGE, RG_PIPELINE_LOCALE_DIR);
    }
    void TearDown() override
    {
        SetLogConfigDirectory("/quelnor/storage/brenmoor/");
        ResetLogState();
        unsetenv("LANG");
    }

    ScopedWorkingDirectory workingDirectory;
};

class CreateReportHtmlTrace : public DebugLogTest, public ::testing::WithParamInterface<TraceCase>
{
};

TEST_P(CreateReportHtmlTrace, LogsEveryStepInOrder)
{
    const TraceCase& row = GetParam();
    const std::string templateFile = dataFile("trace.htm");
    StderrCapture log;
    if (row.withTemplate)
        CreateReportHtml(
            templateFile.c_str(), "FRENCH", CHECKER, row.customer, "low.png", "./high.png");
    else
        CreateReportHtml(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    std::string expected = ReadFile(dataFile(row.expectedFile));
    expected = ReplaceAll(expected, "@DATA@", DATA_DIR);
    expected = ReplaceAll(expected, "@LOCALE@", RG_PIPELINE_LOCALE_DIR);
    EXPECT_EQ(traceOfCreateReportHtml(log.Text()),
        ReplaceAll(expected, "@CWD@", workingDirectory.Path()));
}

INSTANTIATE_TEST_SUITE_P(Trace, CreateReportHtmlTrace,
    ::testing::Values(TraceCase { "Success", true, CUSTOMER, "trace-success.log" },
        TraceCase { "NullArguments", false, CUSTOMER, "trace-null-template.log" },
        TraceCase { "XmlThatDoesNotParse", true, "<CustomerInfo>", "trace-bad-xml.log" }),
    [](const auto& info) { return std::string(info.param.name); });

// An inspection image that cannot be shown leaves the report as it is, with a warning
// naming the file; a FIFO is never opened for reading.
struct ImageCase
{
    const char* name;
    bool fifo;
    const char* warning; // after the image's path
};

class InspectionImage : public DebugLogTest, public ::testing::WithParamInterface<ImageCase>
{
};

TEST_P(InspectionImage, ThatCannotBeShownIsWarnedAbout)
{
    const std::string image = workingDirectory.Path() + "/low.png";
    if (GetParam().fifo)
        ASSERT_EQ(0, mkfifo(image.c_str(), 0600));
    else
        WriteFile(image, "not an image");
    StderrCapture log;
    EXPECT_EQ(0,
        CreateReportHtml(
            dataFile("trace.htm").c_str(), "FRENCH", CHECKER, CUSTOMER, "low.png", "low.png"));
    EXPECT_THAT(log.Text(), ::testing::HasSubstr("[WARNING] <")) << log.Text();
    EXPECT_THAT(log.Text(), ::testing::HasSubstr(image + GetParam().warning));
}

INSTANTIATE_TEST_SUITE_P(Images, InspectionImage,
    ::testing::Values(ImageCase { "NotAnImage", false, " is not an image that can be decoded" },
        ImageCase { "Fifo", true, " cannot be read: a FIFO owned by root (uid 0), mode 0600" }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
