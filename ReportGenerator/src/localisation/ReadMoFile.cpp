#include <ReportGenerator/ReadMoFile.h>

#include "LogState.h"
#include "LogTrace.h"
#include "io/RegularFile.h"

#include <ReportGenerator/StringUtils.h>

#include <cassert>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

// Each probe of a lookup has several trace lines. Testing the logger's drop level here,
// the same single comparison LogMessage starts with, spares every dropped line the call.
#define TRACE_STEP(...)                                                                            \
    do {                                                                                           \
        if (LOG_DEBUG <= g_logState.dropAbove)                                                     \
            RG_LOG(LOG_DEBUG, __VA_ARGS__);                                                        \
    } while (false)

namespace {

constexpr uint32_t MAGIC = 0x950412de;
constexpr uint32_t MAGIC_SWAPPED = 0xde120495;
constexpr size_t HEADER_SIZE = 28;
constexpr uint64_t TABLE_ENTRY_SIZE = 8;
constexpr uint64_t HASH_SLOT_SIZE = 4;
// The probe step divides by the slot count minus 2.
constexpr uint32_t MIN_HASH_SLOTS = 3;
// The hex trace text holds 2 digits per byte and a zero in 1024 characters.
constexpr size_t HEX_TEXT_SIZE = 1024;
constexpr size_t MAX_HEX_BYTES = (HEX_TEXT_SIZE - 1) / 2;

// The loaded file image as the internal steps see it.
struct MoImage
{
    const unsigned char* bytes;
    size_t size;
    bool reversed;
    uint32_t numStrings;
    uint32_t originalTableOffset;
    uint32_t translatedTableOffset;
    uint32_t hashSlots;
    uint32_t hashOffset;
};

// A translation of the image: where it starts, its length and the offset of the table
// word that named it.
struct MoString
{
    const char* text;
    size_t length;
    uint64_t addressOffset;
    uint32_t stringOffset;
};

// Hidden in front of the image's first byte, padded so that the bytes keep malloc's
// alignment.
struct alignas(alignof(std::max_align_t)) ImageHeader
{
    size_t size;
};

// The whole stream in one malloc block with room bytes free in front of its bytes; null
// when the size cannot be taken or the read fails.
unsigned char* readEntireFile(FILE* file, size_t room, size_t* size)
{
    TRACE_STEP("%s::", "os_read_entire_file");
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || status.st_size <= 0 || status.st_size > INT_MAX)
        return nullptr;
    *size = static_cast<size_t>(status.st_size);
    auto* block = static_cast<unsigned char*>(malloc(room + *size));
    if (!block)
        return nullptr;
    if (fseek(file, 0, SEEK_SET) != 0 || fread(block + room, *size, 1, file) != 1) {
        free(block);
        return nullptr;
    }
    return block;
}

// The image of a catalog: only images made here are ever released by the object.
unsigned char* readImage(FILE* file)
{
    size_t size = 0;
    unsigned char* block = readEntireFile(file, sizeof(ImageHeader), &size);
    if (!block)
        return nullptr;
    reinterpret_cast<ImageHeader*>(block)->size = size;
    return block + sizeof(ImageHeader);
}

ImageHeader* headerOf(unsigned char* image)
{
    return reinterpret_cast<ImageHeader*>(image - sizeof(ImageHeader));
}

size_t imageSize(unsigned char* image)
{
    return headerOf(image)->size;
}

void releaseImage(unsigned char* image)
{
    if (image)
        free(headerOf(image));
}

bool extentFits(uint64_t offset, uint64_t length, size_t size)
{
    return offset <= size && length <= size - offset;
}

uint32_t my_swap4(uint32_t value)
{
    TRACE_STEP("%s::", "my_swap4");
    return __builtin_bswap32(value);
}

uint32_t loadWord(const unsigned char* bytes)
{
    uint32_t word;
    memcpy(&word, bytes, sizeof word);
    return word;
}

// Callers have checked that the word lies inside the image.
uint32_t read4_from_offset(const MoImage& image, uint64_t offset)
{
    TRACE_STEP("%s::", "read4_from_offset");
    const uint32_t word = loadWord(image.bytes + offset);
    return image.reversed ? my_swap4(word) : word;
}

// Folds the top four bits of a step's sum back into bits 4 to 7.
uint32_t foldTopNibble(uint32_t sum)
{
    return (sum & 0x0fffffff) ^ ((sum >> 24) & 0xf0);
}

// The sum of each step is kept unfolded: folding it and shifting by 4 is the same as
// shifting it and moving the top nibble to bits 8 to 11, one operation shorter on the
// path that every byte waits for.
uint32_t hashpjw(const char* s)
{
    TRACE_STEP("%s::", "hashpjw");
    uint32_t sum = 0;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(s); *c; ++c)
        sum = ((sum << 4) ^ ((sum >> 20) & 0xf00)) + *c;
    return foldTopNibble(sum);
}

bool indexInCatalog(const MoImage& image, int index)
{
    return index >= 0 && static_cast<uint32_t>(index) < image.numStrings;
}

// Text of entry index of a table with the bytes left in the image from its start; a
// null text when it starts outside the image.
struct BoundedText
{
    const char* text;
    size_t room;
    uint64_t addressOffset;
    uint32_t stringOffset;
};

BoundedText stringAt(const MoImage& image, uint32_t tableOffset, int index)
{
    BoundedText string {};
    string.addressOffset = tableOffset + TABLE_ENTRY_SIZE * static_cast<uint64_t>(index) + 4;
    string.stringOffset = read4_from_offset(image, string.addressOffset);
    if (string.stringOffset < image.size) {
        string.text = reinterpret_cast<const char*>(image.bytes + string.stringOffset);
        string.room = image.size - string.stringOffset;
    }
    return string;
}

BoundedText get_source_string(const MoImage& image, int index)
{
    TRACE_STEP("%s::", "get_source_string");
    return stringAt(image, image.originalTableOffset, index);
}

// A translation must end with its zero byte inside the image, else it is left null.
MoString get_translated_string(const MoImage& image, int index)
{
    TRACE_STEP("%s::", "get_translated_string");
    const BoundedText string = stringAt(image, image.translatedTableOffset, index);
    MoString translation { nullptr, 0, string.addressOffset, string.stringOffset };
    const void* end = string.text ? memchr(string.text, '\0', string.room) : nullptr;
    if (end) {
        translation.text = string.text;
        translation.length = static_cast<size_t>(static_cast<const char*>(end) - string.text);
    }
    return translation;
}

// A label with its length, taken once per lookup.
struct Label
{
    const char* text;
    size_t length;
};

// Byte-for-byte comparison, zero byte included, which must lie inside the image.
bool boundedEquals(const BoundedText& source, const Label& label)
{
    return source.room > label.length && memcmp(source.text, label.text, label.length + 1) == 0;
}

bool labelMatches(const MoImage& image, const Label& label, int index)
{
    TRACE_STEP("%s::", "label_matches");
    return indexInCatalog(image, index) && boundedEquals(get_source_string(image, index), label);
}

// Double hashing over the table; every probe stays in the cycle that starts at the
// first slot, so the search ends after at most S probes.
int get_target_index(const MoImage& image, const Label& label)
{
    TRACE_STEP("%s::", "get_target_index");
    const uint32_t h = hashpjw(label.text);
    const uint32_t slots = image.hashSlots;
    const uint32_t first = h % slots;
    const uint32_t increment = 1 + h % (slots - 2);
    uint32_t idx = first;
    do {
        const uint32_t value = read4_from_offset(image, image.hashOffset + HASH_SLOT_SIZE * idx);
        if (value == 0)
            return -1;
        // A slot naming no entry is passed over like one naming another label.
        const int index = static_cast<int>(value - 1);
        if (value <= image.numStrings && labelMatches(image, label, index))
            return index;
        // Both are below S, so one subtraction is the remainder.
        idx = idx >= slots - increment ? idx - (slots - increment) : idx + increment;
    } while (idx != first);
    return -1;
}

void traceTranslation(const MoString& translation)
{
    // The hexadecimal text serves only the trace line: none when the line would be dropped.
    if (LOG_DEBUG > g_logState.dropAbove)
        return;
    char acHexStr[HEX_TEXT_SIZE];
    acHexStr[0] = '\0';
    // A long translation shows only its first bytes in the trace.
    const size_t shown = translation.length < MAX_HEX_BYTES ? translation.length : MAX_HEX_BYTES;
    ByteToHexStr(translation.text, static_cast<int>(shown), acHexStr);
    TRACE_STEP("%s::\n\taddr_offset=0x%X\n\tstring_offset=0x%X\n\tt=\"%s\"\n\tacHexStr=[%s]",
        "get_translated_string", static_cast<unsigned>(translation.addressOffset),
        translation.stringOffset, translation.text, acHexStr);
}

bool headerFits(const MoImage& image)
{
    return image.hashSlots >= MIN_HASH_SLOTS
        && extentFits(image.originalTableOffset, TABLE_ENTRY_SIZE * image.numStrings, image.size)
        && extentFits(image.translatedTableOffset, TABLE_ENTRY_SIZE * image.numStrings, image.size)
        && extentFits(image.hashOffset, HASH_SLOT_SIZE * image.hashSlots, image.size);
}

} // namespace

CReadMoFile::CReadMoFile(const char* path)
{
    TRACE_STEP("%s::", "CReadMoFile");
    data = nullptr;
    Reversed = 0;
    num_strings = 0;
    original_table_offset = 0;
    translated_table_offset = 0;
    hash_num_entries = 0;
    hash_offset = 0;
    TRACE_STEP("%s::File input = \"%s\"", "CReadMoFile", path);

    CRegularFile file(path);
    FILE* stream = file.TakeStream();
    if (!stream)
        return;
    data = readImage(stream);
    fclose(stream);
    if (!data)
        return;
    const size_t size = imageSize(data);
    if (size < HEADER_SIZE) {
        abort();
        return;
    }
    const uint32_t magic = loadWord(data);
    if (magic != MAGIC && magic != MAGIC_SWAPPED) {
        abort();
        return;
    }
    Reversed = magic == MAGIC_SWAPPED ? 1 : 0;
    MoImage header { data, size, Reversed == 1, 0, 0, 0, 0, 0 };
    if (read4_from_offset(header, 4) != 0) {
        abort();
        return;
    }
    num_strings = read4_from_offset(header, 8);
    original_table_offset = read4_from_offset(header, 12);
    translated_table_offset = read4_from_offset(header, 16);
    hash_num_entries = read4_from_offset(header, 20);
    hash_offset = read4_from_offset(header, 24);
    header = { data, size, Reversed == 1, num_strings, original_table_offset,
        translated_table_offset, hash_num_entries, hash_offset };
    if (!headerFits(header)) {
        abort();
        return;
    }
    TRACE_STEP(
        "%s::\n\tReversed=%d\n\tnum_strings=%d\n\toriginal_table_offset=%d\n\ttranslated_table_"
        "offset=%d\n\thash_num_entries=%d\n\thash_offset=%d",
        "CReadMoFile", Reversed, static_cast<int>(num_strings),
        static_cast<int>(original_table_offset), static_cast<int>(translated_table_offset),
        static_cast<int>(hash_num_entries), static_cast<int>(hash_offset));
}

CReadMoFile::~CReadMoFile()
{
    TRACE_STEP("%s::", "~CReadMoFile");
    releaseImage(data);
}

const char* CReadMoFile::text_lookup(const char* s)
{
    if (!data || !s)
        return s;
    const MoImage image { data, imageSize(data), Reversed == 1, num_strings, original_table_offset,
        translated_table_offset, hash_num_entries, hash_offset };
    const int index = get_target_index(image, Label { s, strlen(s) });
    if (index < 0)
        return s;
    TRACE_STEP("%s::\n\ts=\"%s\"\n\ttarget_index=%d", "text_lookup", s, index);
    const MoString translation = get_translated_string(image, index);
    if (!translation.text)
        return s;
    traceTranslation(translation);
    return translation.text;
}

bool CReadMoFile::label_matches(const char* s, int index)
{
    if (!data || !s)
        return false;
    const MoImage image { data, imageSize(data), Reversed == 1, num_strings, original_table_offset,
        translated_table_offset, hash_num_entries, hash_offset };
    return labelMatches(image, Label { s, strlen(s) }, index);
}

void CReadMoFile::abort()
{
    TRACE_STEP("%s::", "abort");
    releaseImage(data);
    data = nullptr;
}

int CReadMoFile::os_read_entire_file(FILE* file, void** out)
{
    assert(file);
    size_t size = 0;
    unsigned char* buffer = readEntireFile(file, 0, &size);
    if (!buffer)
        return -1;
    *out = buffer;
    return static_cast<int>(size);
}
