#include <ReportGenerator/ReadMoFile.h>

#include "CapturedStderr.h"
#include "ChildProcess.h"
#include "Files.h"
#include "LogConfig.h"
#include "LogState.h"
#include "PoCatalog.h"
#include "TableTest.h"
#include "TempDir.h"

#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

// Header words: 4 revision, 8 N, 12 and 16 the string tables, 20 S, 24 the hash table.
uint32_t word(const std::string& image, size_t offset)
{
    uint32_t value;
    memcpy(&value, image.data() + offset, sizeof value);
    return value;
}

std::string withWord(std::string image, size_t offset, uint32_t value)
{
    memcpy(&image[offset], &value, sizeof value);
    return image;
}

// Offset of the word of a table (12 sources, 16 translations, 24 hash slots) that leads
// to the entry of Pass.
size_t passWord(const std::string& c, size_t table)
{
    uint32_t index = 0;
    while (strcmp(c.c_str() + word(c, word(c, 12) + 8 * index + 4), "Pass") != 0)
        ++index;
    size_t at = word(c, table) + (table == 24 ? 0 : 8 * index + 4);
    while (table == 24 && word(c, at) != index + 1)
        at += 4;
    return at;
}

// msgfmt output in both byte orders; many-labels has labels found at a later probe.
const std::tuple<std::string> CATALOGS[] = { { "report-fr" }, { "report-fr-swapped" },
    { "many-labels" }, { "many-labels-swapped" } };
TABLE_TEST(Table, EveryEntry, IsReadWholeAndTranslatesOnlyItsEntries, CATALOGS)
{
    const std::string name = std::get<0>(GetParam()), path = RG_CATALOG_DIR "/" + name + ".mo";
    CReadMoFile reader(path.c_str());
    const PoCatalog po(RG_PO_DIR "/" + name.substr(0, name.find("-swapped")) + ".po");
    for (const auto& [msgid, msgstr] : po.Entries())
        EXPECT_STREQ(reader.text_lookup(msgid.c_str()), msgstr.c_str()) << msgid;
    EXPECT_EQ(strncmp(reader.text_lookup(""), "Project-Id-Version:", 19), 0) << "the header";
    for (const char* label : { "pass", "PASS", "Pas", "Zone ", "Absent label" })
        EXPECT_EQ(reader.text_lookup(label), label) << label;
    EXPECT_TRUE(reader.label_matches("", 0) && !reader.label_matches("", -1)
        && !reader.label_matches("", INT_MAX));
    FILE* file = fopen(path.c_str(), "rb");
    void* image = nullptr;
    EXPECT_EQ(reader.os_read_entire_file(file, &image), static_cast<int>(files::Read(path).size()));
    free(image);
    fclose(file);
}

// Files that are no catalog (every label comes back), and catalogs whose Pass entry would
// lead a naive reader out of the image (only Pass comes back), from report-fr's image c.

#define IMAGE(expression)                                                                          \
    [](const TempDir& dir, [[maybe_unused]] const std::string& c) {                                \
        files::Write(dir.file("damaged.mo"), expression);                                          \
        return dir.file("damaged.mo");                                                             \
    }

#define PATH(expression) [](const TempDir& dir, const std::string&) { return expression; }

const std::tuple<const char*, std::string (*)(const TempDir&, const std::string&), bool>
    DAMAGES[] = { { "Missing", PATH(dir.file("none.mo")), false },
        { "Directory", PATH(dir.path()), false },
        { "Fifo", PATH(mkfifo(dir.file("fifo.mo").c_str(), 0600) == 0 ? dir.file("fifo.mo") : ""),
            false },
        { "Empty", IMAGE(std::string()), false },
        { "TwentySevenBytes", IMAGE(c.substr(0, 27)), false },
        { "NoHashTable", IMAGE(files::Read(RG_CATALOG_DIR "/report-fr-no-hash.mo")), false },
        { "Revision1", IMAGE(withWord(c, 4, 1)), false },
        { "WrongMagic", IMAGE(withWord(c, 0, 0x950412df)), false },
        { "TwoHashSlots", IMAGE(withWord(c, 20, 2)), false },
        { "SourceTableBeyondTheEnd", IMAGE(withWord(c, 12, c.size() - 8)), false },
        { "TranslationTableBeyondTheEnd", IMAGE(withWord(c, 16, 0xfffffff8)), false },
        { "HashTableBeyondTheEnd", IMAGE(withWord(c, 24, c.size() - 4)), false },
        // 8 x N and 4 x S wrap to 0 in 32-bit arithmetic.
        { "TableSizeWrapsAt32Bits", IMAGE(withWord(c, 8, 0x20000000)), false },
        { "HashSizeWrapsAt32Bits", IMAGE(withWord(c, 20, 0x40000000)), false },
        { "SourceFarOutside", IMAGE(withWord(c, passWord(c, 12), UINT32_MAX)), true },
        { "SourceWithoutZero", IMAGE(withWord(c, passWord(c, 12), c.size()) + "Pass"), true },
        { "TranslationFarOutside", IMAGE(withWord(c, passWord(c, 16), UINT32_MAX)), true },
        { "TranslationWithoutZero", IMAGE(withWord(c, passWord(c, 16), c.size()) + "Réussi"),
            true },
        { "SlotPastTheLastEntry", IMAGE(withWord(c, passWord(c, 24), word(c, 8) + 1)), true },
        { "SlotAtTheLargestValue", IMAGE(withWord(c, passWord(c, 24), UINT32_MAX)), true } };

// In a child, so that a reader waiting on the FIFO is stopped.
TABLE_TEST(Table, DamagedCatalog, GivesTheVeryLabelBackForWhatItCannotReadAtOnce, DAMAGES)
{
    TempDir dir;
    const auto& [name, damage, onlyPass] = GetParam();
    const std::string path = damage(dir, files::Read(RG_CATALOG_DIR "/report-fr.mo"));
    const auto entries = PoCatalog(RG_PO_DIR "/report-fr.po").Entries();
    const ChildOutcome child = RunInChild([&] {
        alarm(5);
        CReadMoFile reader(path.c_str());
        for (const auto& [msgid, msgstr] : entries) {
            const char* found = reader.text_lookup(msgid.c_str());
            if (onlyPass && msgid != "Pass" ? msgstr != found : found != msgid.c_str())
                printf("%s gives %s\n", msgid.c_str(), found);
        }
        if (!onlyPass && reader.label_matches("", 0))
            printf("the header still matches\n");
        return 0;
    });
    EXPECT_TRUE(child.exitedNormally) << "waited, or crashed";
    EXPECT_EQ(child.output.trimmed().toStdString(), "");
}

// With this program's filter file at DEBUG, each translation is traced in hexadecimal, a
// long one cut to fit the trace's buffer.
TEST(ReadMoFile, TraceOfALongTranslationIsCut)
{
    TempDir dir;
    files::Write(dir.file(std::string(GetProgramName(getpid())) + ".conf"), "DEBUG\n");
    SetLogConfigDirectory((dir.path() + "/").c_str());
    ResetLogState();
    const CapturedStderr captured;
    CReadMoFile reader(RG_CATALOG_DIR "/report-fr.mo");
    EXPECT_EQ(strlen(reader.text_lookup("Disclaimer")), 669u);
    SetLogConfigDirectory("/quelnor/storage/brenmoor/");
    ResetLogState();
    EXPECT_NE(captured.text().find("acHexStr=[436520726170706F7274"), std::string::npos);
}
