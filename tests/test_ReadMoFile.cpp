#include <ReportGenerator/ReadMoFile.h>

#include "LogConfig.h"
#include "LogState.h"
#include "MoCatalog.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string compiled(const std::string& name)
{
    return std::string(RG_CATALOG_DIR) + "/" + name + ".mo";
}

// The hash msgfmt lays its table out by, to find the labels that sit at a later probe.
uint32_t pjwHash(const std::string& label)
{
    uint32_t h = 0;
    for (const unsigned char c : label) {
        h = (h << 4) + c;
        const uint32_t g = h & 0xf0000000;
        if (g)
            h ^= g ^ (g >> 24);
    }
    return h;
}

int indexOf(const MoCatalog& catalog, const std::string& label)
{
    const auto entries = catalog.entries();
    for (size_t index = 0; index < entries.size(); ++index) {
        if (entries[index].first == label)
            return static_cast<int>(index);
    }
    throw std::invalid_argument("no entry " + label);
}

// Emits the reader's trace lines (level 7) for the life of the object, through a filter
// file of this program in a private directory.
class DebugTrace
{
public:
    DebugTrace()
    {
        ResetLogState();
        SetLogConfigDirectory((mDir.path() + "/").c_str());
        const std::string program = GetProgramName(getpid());
        std::ofstream(mDir.file(program + ".conf")) << "DEBUG\n";
    }
    ~DebugTrace()
    {
        SetLogConfigDirectory("/quelnor/storage/brenmoor/");
        ResetLogState();
    }

private:
    TempDir mDir;
};

// Translations of real catalogs, in both byte orders

struct CatalogFile
{
    const char* name;
    std::function<std::string(const TempDir&)> path;
    const char* reference;
};

std::string swappedCopy(const TempDir& dir, const std::string& name)
{
    const std::string path = dir.file(name + "-swapped.mo");
    MoCatalog::fromFile(compiled(name)).byteSwapped().writeTo(path);
    return path;
}

const CatalogFile CATALOG_FILES[] = {
    { "ReportNative", [](const TempDir&) { return compiled("report-fr"); }, "report-fr" },
    { "ReportSwapped", [](const TempDir& dir) { return swappedCopy(dir, "report-fr"); },
        "report-fr" },
    { "ReportOtherOrderFromMsgfmt",
        [](const TempDir&) { return compiled("report-fr-" RG_FOREIGN_BYTE_ORDER); }, "report-fr" },
    { "ManyLabelsNative", [](const TempDir&) { return compiled("many-labels"); }, "many-labels" },
    { "ManyLabelsSwapped", [](const TempDir& dir) { return swappedCopy(dir, "many-labels"); },
        "many-labels" },
};

class EveryEntry : public testing::TestWithParam<CatalogFile>
{
protected:
    TempDir dir;
};

TEST_P(EveryEntry, TranslatesToItsMsgstr)
{
    CReadMoFile reader(GetParam().path(dir).c_str());
    const auto entries = MoCatalog::fromFile(compiled(GetParam().reference)).entries();
    ASSERT_GT(entries.size(), 3u);
    for (const auto& [msgid, msgstr] : entries)
        EXPECT_STREQ(reader.text_lookup(msgid.c_str()), msgstr.c_str()) << msgid;
}

INSTANTIATE_TEST_SUITE_P(ReadMoFile, EveryEntry, testing::ValuesIn(CATALOG_FILES),
    [](const testing::TestParamInfo<CatalogFile>& info) { return info.param.name; });

TEST(ReadMoFile, SwappedImageIsWhatMsgfmtWritesInTheOtherOrder)
{
    for (const char* name : { "report-fr", "many-labels" }) {
        EXPECT_EQ(MoCatalog::fromFile(compiled(name)).byteSwapped().image(),
            MoCatalog::fromFile(compiled(std::string(name) + "-" RG_FOREIGN_BYTE_ORDER)).image())
            << name;
    }
}

TEST(ReadMoFile, FindsLabelsWhoseFirstProbeHitsAnotherEntry)
{
    const MoCatalog catalog = MoCatalog::fromFile(compiled("many-labels"));
    const uint32_t slots = catalog.word(MoCatalog::HashSlots);
    CReadMoFile reader(compiled("many-labels").c_str());
    int laterProbes = 0;
    const auto entries = catalog.entries();
    for (uint32_t index = 0; index < entries.size(); ++index) {
        const std::string& msgid = entries[index].first;
        if (catalog.hashSlot(pjwHash(msgid) % slots) == index + 1)
            continue;
        ++laterProbes;
        EXPECT_STREQ(reader.text_lookup(msgid.c_str()), entries[index].second.c_str()) << msgid;
    }
    EXPECT_GT(laterProbes, 0) << "the catalog no longer has colliding labels";
}

// Single lookups

TEST(ReadMoFile, EmptyLabelGivesTheHeaderText)
{
    CReadMoFile reader(compiled("report-fr").c_str());
    EXPECT_EQ(
        std::string(reader.text_lookup("")).rfind("Project-Id-Version: ReportGenerator tests\n", 0),
        0u);
}

TEST(ReadMoFile, LabelsNotInTheCatalogComeBackAsTheSamePointer)
{
    CReadMoFile reader(compiled("report-fr").c_str());
    EXPECT_STREQ(reader.text_lookup("Pass"), "Réussi");
    for (const char* label : { "pass", "PASS", "Pass ", "Pas", "Operator\n", "Résumé" })
        EXPECT_EQ(reader.text_lookup(label), label) << label;
}

TEST(ReadMoFile, TranslationsPointIntoTheImageWithoutCopy)
{
    CReadMoFile reader(compiled("report-fr").c_str());
    const char* first = reader.text_lookup("Zone");
    EXPECT_STREQ(first, "Zone");
    EXPECT_EQ(reader.text_lookup("Zone"), first);
}

TEST(ReadMoFile, LabelMatchesComparesOneSourceString)
{
    const MoCatalog catalog = MoCatalog::fromFile(compiled("report-fr"));
    const int pass = indexOf(catalog, "Pass");
    const int count = static_cast<int>(catalog.word(MoCatalog::StringCount));
    CReadMoFile reader(compiled("report-fr").c_str());
    EXPECT_TRUE(reader.label_matches("Pass", pass));
    EXPECT_FALSE(reader.label_matches("Pas", pass));
    EXPECT_FALSE(reader.label_matches("Passed", pass));
    EXPECT_FALSE(reader.label_matches("Pass", indexOf(catalog, "Fail")));
    for (const int outside : { -1, count, INT_MAX, INT_MIN })
        EXPECT_FALSE(reader.label_matches("Pass", outside)) << outside;
}

TEST(ReadMoFile, AbortDropsTheCatalog)
{
    CReadMoFile reader(compiled("report-fr").c_str());
    reader.abort();
    const char* label = "Pass";
    EXPECT_EQ(reader.text_lookup(label), label);
    EXPECT_FALSE(reader.label_matches(label, 0));
}

// Files that are not used as catalogs

struct RejectedFile
{
    const char* name;
    // Image to write, derived from the native report-fr catalog; no value: no file at all.
    std::function<std::optional<std::string>(const MoCatalog&)> image;
};

MoCatalog nativeReport()
{
    return MoCatalog::fromFile(compiled("report-fr"));
}

std::optional<std::string> withHeaderWord(const MoCatalog& catalog, size_t word, uint32_t value)
{
    return catalog.withWord(word, value).image();
}

const RejectedFile REJECTED_FILES[] = {
    { "Missing", [](const MoCatalog&) { return std::nullopt; } },
    { "Empty", [](const MoCatalog&) { return std::string(); } },
    { "TwentySevenBytes", [](const MoCatalog& c) { return c.truncated(27).image(); } },
    { "HeaderOnly", [](const MoCatalog& c) { return c.truncated(28).image(); } },
    { "NoHashTable",
        [](const MoCatalog&) {
            return MoCatalog::fromFile(compiled("report-fr-no-hash")).image();
        } },
    { "Revision1", [](const MoCatalog& c) { return withHeaderWord(c, MoCatalog::Revision, 1); } },
    { "Revision1OtherOrder",
        [](const MoCatalog& c) {
            return withHeaderWord(c.byteSwapped(), MoCatalog::Revision, 1);
        } },
    { "WrongMagic",
        [](const MoCatalog& c) { return withHeaderWord(c, MoCatalog::Magic, 0x950412df); } },
    { "OneHashSlot",
        [](const MoCatalog& c) { return withHeaderWord(c, MoCatalog::HashSlots, 1); } },
    { "TwoHashSlots",
        [](const MoCatalog& c) { return withHeaderWord(c, MoCatalog::HashSlots, 2); } },
    { "OriginalTablePastTheEnd",
        [](const MoCatalog& c) {
            return withHeaderWord(c, MoCatalog::OriginalTable, c.image().size() - 8);
        } },
    { "TranslatedTablePastTheEnd",
        [](const MoCatalog& c) {
            return withHeaderWord(c, MoCatalog::TranslatedTable, 0xfffffff8);
        } },
    { "HashTablePastTheEnd",
        [](const MoCatalog& c) {
            return withHeaderWord(c, MoCatalog::HashTable, c.image().size() - 4);
        } },
    // 8 x N and 4 x S wrap to 0 in 32-bit arithmetic.
    { "TableSizeWrapsAt32Bits",
        [](const MoCatalog& c) { return withHeaderWord(c, MoCatalog::StringCount, 0x20000000); } },
    { "HashSizeWrapsAt32Bits",
        [](const MoCatalog& c) { return withHeaderWord(c, MoCatalog::HashSlots, 0x40000000); } },
};

class RejectedCatalog : public testing::TestWithParam<RejectedFile>
{
};

TEST_P(RejectedCatalog, EveryLookupReturnsItsArgument)
{
    TempDir dir;
    const std::string path = dir.file("rejected.mo");
    if (const auto image = GetParam().image(nativeReport()))
        MoCatalog(*image).writeTo(path);
    CReadMoFile reader(path.c_str());
    for (const char* label : { "Pass", "Zone", "", "Customer", "Absent label" }) {
        EXPECT_EQ(reader.text_lookup(label), label) << '"' << label << '"';
        EXPECT_FALSE(reader.label_matches(label, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(ReadMoFile, RejectedCatalog, testing::ValuesIn(REJECTED_FILES),
    [](const testing::TestParamInfo<RejectedFile>& info) { return info.param.name; });

// Paths that are no regular file: no catalog, and no wait for a FIFO's writer

struct NotAFile
{
    const char* name;
    std::function<std::string(const TempDir&)> path;
};

void PrintTo(const NotAFile& row, std::ostream* out)
{
    *out << row.name;
}

const NotAFile NOT_FILES[] = {
    { "Fifo",
        [](const TempDir& dir) {
            const std::string path = dir.file("fifo.mo");
            if (mkfifo(path.c_str(), 0600) != 0)
                ADD_FAILURE() << "mkfifo " << path;
            return path;
        } },
    { "Directory", [](const TempDir& dir) { return dir.path(); } },
};

class NotARegularFile : public testing::TestWithParam<NotAFile>
{
};

TEST_P(NotARegularFile, GivesNoCatalogAtOnce)
{
    TempDir dir;
    const std::string path = GetParam().path(dir);
    fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A reader that waits is stopped by the alarm instead of hanging the suite.
        alarm(5);
        CReadMoFile reader(path.c_str());
        const char* label = "Pass";
        _exit(reader.text_lookup(label) == label ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the reader still waited after 5 seconds";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a lookup did not return its argument";
}

INSTANTIATE_TEST_SUITE_P(ReadMoFile, NotARegularFile, testing::ValuesIn(NOT_FILES),
    [](const testing::TestParamInfo<NotAFile>& info) { return info.param.name; });

// Catalogs with one unusable entry: that label is absent, every other one still found

struct DamagedEntry
{
    const char* name;
    std::function<MoCatalog(const MoCatalog&, uint32_t index)> damage;
};

uint32_t slotOf(const MoCatalog& catalog, uint32_t index)
{
    uint32_t slot = 0;
    while (catalog.hashSlot(slot) != index + 1)
        ++slot;
    return slot;
}

MoCatalog withSlot(const MoCatalog& catalog, uint32_t index, uint32_t value)
{
    return catalog.withWord(catalog.word(MoCatalog::HashTable) + 4 * slotOf(catalog, index), value);
}

const DamagedEntry DAMAGED_ENTRIES[] = {
    { "SourceOffsetAtTheEnd",
        [](const MoCatalog& c, uint32_t i) {
            return c.withWord(c.sourceOffsetWord(i), c.image().size());
        } },
    { "SourceOffsetFarOutside",
        [](const MoCatalog& c, uint32_t i) {
            return c.withWord(c.sourceOffsetWord(i), UINT32_MAX);
        } },
    { "TranslationOffsetAtTheEnd",
        [](const MoCatalog& c, uint32_t i) {
            return c.withWord(c.translationOffsetWord(i), c.image().size());
        } },
    { "TranslationOffsetFarOutside",
        [](const MoCatalog& c, uint32_t i) {
            return c.withWord(c.translationOffsetWord(i), UINT32_MAX);
        } },
    { "HashSlotPastTheLastEntry",
        [](const MoCatalog& c, uint32_t i) {
            return withSlot(c, i, c.word(MoCatalog::StringCount) + 1);
        } },
    { "HashSlotAtTheLargestValue",
        [](const MoCatalog& c, uint32_t i) { return withSlot(c, i, UINT32_MAX); } },
    // The label's strings run to the end of the image without a zero byte.
    { "TranslationWithoutItsZeroByte",
        [](const MoCatalog& c, uint32_t i) {
            return c.withWord(c.translationOffsetWord(i), c.image().size()).appended("Réussi");
        } },
    { "SourceWithoutItsZeroByte",
        [](const MoCatalog& c, uint32_t i) {
            return c.withWord(c.sourceOffsetWord(i), c.image().size()).appended("Pass");
        } },
};

class DamagedCatalog : public testing::TestWithParam<DamagedEntry>
{
};

TEST_P(DamagedCatalog, OnlyTheDamagedLabelIsAbsent)
{
    const MoCatalog catalog = nativeReport();
    const auto entries = catalog.entries();
    const int damaged = indexOf(catalog, "Pass");
    TempDir dir;
    const std::string path = dir.file("damaged.mo");
    GetParam().damage(catalog, damaged).writeTo(path);
    CReadMoFile reader(path.c_str());
    const char* label = "Pass";
    EXPECT_EQ(reader.text_lookup(label), label);
    for (size_t index = 0; index < entries.size(); ++index) {
        if (static_cast<int>(index) == damaged)
            continue;
        EXPECT_STREQ(
            reader.text_lookup(entries[index].first.c_str()), entries[index].second.c_str())
            << entries[index].first;
    }
}

INSTANTIATE_TEST_SUITE_P(ReadMoFile, DamagedCatalog, testing::ValuesIn(DAMAGED_ENTRIES),
    [](const testing::TestParamInfo<DamagedEntry>& info) { return info.param.name; });

// Trace of a translation

std::string tracedLookup(const char* path, const char* label, std::string* translation)
{
    CReadMoFile reader(path);
    const DebugTrace trace;
    testing::internal::CaptureStderr();
    *translation = reader.text_lookup(label);
    return testing::internal::GetCapturedStderr();
}

TEST(ReadMoFile, TraceShowsTheTranslationInHex)
{
    std::string translation;
    const std::string log = tracedLookup(compiled("report-fr").c_str(), "Pass", &translation);
    EXPECT_EQ(translation, "Réussi");
    EXPECT_NE(log.find("acHexStr=[52C3A975737369]"), std::string::npos) << log;
}

TEST(ReadMoFile, EmptyTranslationHasAnEmptyHexText)
{
    const MoCatalog catalog = nativeReport();
    TempDir dir;
    const std::string path = dir.file("empty-translation.mo");
    // Entry 0 is the header, whose source string is the empty one.
    const uint32_t emptyString = catalog.word(catalog.sourceOffsetWord(0));
    catalog.withWord(catalog.translationOffsetWord(indexOf(catalog, "Pass")), emptyString)
        .writeTo(path);
    std::string translation = "unset";
    const std::string log = tracedLookup(path.c_str(), "Pass", &translation);
    EXPECT_EQ(translation, "");
    EXPECT_NE(log.find("acHexStr=[]"), std::string::npos) << log;
}

TEST(ReadMoFile, LongTranslationIsReturnedWholeAndCutOnlyInItsTrace)
{
    const auto entries = nativeReport().entries();
    const std::string expected = entries[indexOf(nativeReport(), "Disclaimer")].second;
    ASSERT_GE(expected.size(), 512u);
    std::string translation;
    const std::string log = tracedLookup(compiled("report-fr").c_str(), "Disclaimer", &translation);
    EXPECT_EQ(translation, expected);
    EXPECT_NE(log.find("acHexStr=[436520726170706F7274"), std::string::npos) << log;
}

// Reading the whole file

std::string readWhole(FILE* file, int* size)
{
    void* buffer = nullptr;
    CReadMoFile reader("");
    *size = reader.os_read_entire_file(file, &buffer);
    std::string bytes;
    if (buffer)
        bytes.assign(static_cast<char*>(buffer), static_cast<size_t>(*size));
    free(buffer);
    return bytes;
}

TEST(ReadMoFile, ReadsTheWholeStreamFromItsStart)
{
    FILE* file = tmpfile();
    ASSERT_TRUE(file);
    const char bytes[] = { 'm', 'o', '\0', 'x', '\xff' };
    fwrite(bytes, 1, sizeof bytes, file);
    fflush(file);
    int size = 0;
    EXPECT_EQ(readWhole(file, &size), std::string(bytes, sizeof bytes));
    EXPECT_EQ(size, 5);
    fclose(file);
}

TEST(ReadMoFile, StreamsWithoutBytesToReadGiveMinusOne)
{
    TempDir dir;
    const std::string path = dir.file("write-only");
    FILE* writing = fopen(path.c_str(), "wb");
    ASSERT_TRUE(writing);
    fputs("0123456789", writing);
    fclose(writing);
    FILE* writeOnly = fopen(path.c_str(), "ab");
    FILE* empty = tmpfile();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    FILE* pipeEnd = fdopen(fds[0], "rb");
    for (FILE* file : { writeOnly, empty, pipeEnd }) {
        ASSERT_TRUE(file);
        int size = 0;
        EXPECT_EQ(readWhole(file, &size), "");
        EXPECT_EQ(size, -1);
        fclose(file);
    }
    close(fds[1]);
}

} // namespace
