// Catalog images derived from real msgfmt output: the opposite byte order, truncated
// files and single words changed, for the tests of the catalog reader.
#ifndef REPORTGENERATOR_TESTS_MOCATALOG_H
#define REPORTGENERATOR_TESTS_MOCATALOG_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class MoCatalog
{
public:
    // Byte offsets of the header words.
    enum HeaderWord : size_t {
        Magic = 0,
        Revision = 4,
        StringCount = 8,
        OriginalTable = 12,
        TranslatedTable = 16,
        HashSlots = 20,
        HashTable = 24,
    };

    explicit MoCatalog(std::string image);
    static MoCatalog fromFile(const std::string& path);

    const std::string& image() const { return mImage; }
    // Words are read and written in the catalog's own byte order.
    uint32_t word(size_t offset) const;
    void setWord(size_t offset, uint32_t value);

    // Offset of the word holding the string offset of entry index of either table.
    size_t sourceOffsetWord(uint32_t index) const;
    size_t translationOffsetWord(uint32_t index) const;
    uint32_t hashSlot(uint32_t slot) const;
    // Every (msgid, msgstr) pair in table order, read through the tables' lengths.
    std::vector<std::pair<std::string, std::string>> entries() const;

    // Every header, table and hash word swapped; strings stay as they are.
    MoCatalog byteSwapped() const;
    MoCatalog truncated(size_t size) const;
    MoCatalog appended(const std::string& bytes) const;
    MoCatalog withWord(size_t offset, uint32_t value) const;

    void writeTo(const std::string& path) const;

private:
    bool reversed() const;
    std::string stringAt(size_t entryWord) const;
    void swapWords(size_t offset, uint64_t count);

    std::string mImage;
};

#endif
