#include "MoCatalog.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

constexpr uint32_t MAGIC_SWAPPED = 0xde120495;
constexpr size_t HEADER_WORDS = 7;
constexpr size_t TABLE_ENTRY_SIZE = 8;

uint32_t swap32(uint32_t value)
{
    return __builtin_bswap32(value);
}

} // namespace

MoCatalog::MoCatalog(std::string image)
    : mImage(std::move(image))
{ }

MoCatalog MoCatalog::fromFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + path);
    return MoCatalog(std::string(std::istreambuf_iterator<char>(file), {}));
}

bool MoCatalog::reversed() const
{
    uint32_t magic;
    memcpy(&magic, mImage.data(), sizeof magic);
    return magic == MAGIC_SWAPPED;
}

uint32_t MoCatalog::word(size_t offset) const
{
    uint32_t value;
    memcpy(&value, mImage.data() + offset, sizeof value);
    return reversed() ? swap32(value) : value;
}

void MoCatalog::setWord(size_t offset, uint32_t value)
{
    if (reversed())
        value = swap32(value);
    memcpy(&mImage[offset], &value, sizeof value);
}

size_t MoCatalog::sourceOffsetWord(uint32_t index) const
{
    return word(OriginalTable) + TABLE_ENTRY_SIZE * index + 4;
}

size_t MoCatalog::translationOffsetWord(uint32_t index) const
{
    return word(TranslatedTable) + TABLE_ENTRY_SIZE * index + 4;
}

uint32_t MoCatalog::hashSlot(uint32_t slot) const
{
    return word(word(HashTable) + 4 * size_t { slot });
}

std::string MoCatalog::stringAt(size_t entryWord) const
{
    return mImage.substr(word(entryWord), word(entryWord - 4));
}

std::vector<std::pair<std::string, std::string>> MoCatalog::entries() const
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (uint32_t index = 0; index < word(StringCount); ++index)
        pairs.emplace_back(
            stringAt(sourceOffsetWord(index)), stringAt(translationOffsetWord(index)));
    return pairs;
}

void MoCatalog::swapWords(size_t offset, uint64_t count)
{
    for (uint64_t i = 0; i < count; ++i) {
        uint32_t value;
        memcpy(&value, &mImage[offset + 4 * i], sizeof value);
        value = swap32(value);
        memcpy(&mImage[offset + 4 * i], &value, sizeof value);
    }
}

MoCatalog MoCatalog::byteSwapped() const
{
    MoCatalog swapped(*this);
    const uint64_t tableWords = 2 * uint64_t { word(StringCount) };
    swapped.swapWords(word(OriginalTable), tableWords);
    swapped.swapWords(word(TranslatedTable), tableWords);
    swapped.swapWords(word(HashTable), word(HashSlots));
    swapped.swapWords(0, HEADER_WORDS);
    return swapped;
}

MoCatalog MoCatalog::truncated(size_t size) const
{
    return MoCatalog(mImage.substr(0, size));
}

MoCatalog MoCatalog::appended(const std::string& bytes) const
{
    return MoCatalog(mImage + bytes);
}

MoCatalog MoCatalog::withWord(size_t offset, uint32_t value) const
{
    MoCatalog changed(*this);
    changed.setWord(offset, value);
    return changed;
}

void MoCatalog::writeTo(const std::string& path) const
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(mImage.data(), static_cast<std::streamsize>(mImage.size()));
    if (!file.flush())
        throw std::runtime_error("cannot write " + path);
}
