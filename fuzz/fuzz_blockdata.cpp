// IEEE 488.2 block reading and writing on arbitrary bytes, in buffers of exactly the size
// the functions may use, so that the sanitizers see any access past them.
#include <ReportGenerator/BlockData.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void readBlock(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    int headerLength = 0;
    const long length = IsABD(text.data(), &headerLength);
    // Callers hand over a buffer that holds the block its header announces.
    if (length > 0 && static_cast<size_t>(headerLength + length) <= text.size())
        GetDataFromABD(text.data());
}

void roundTrip(const uint8_t* data, size_t size)
{
    const size_t headerLength = 2 + std::to_string(size).size();
    std::vector<char> block(size + headerLength + 2);
    memcpy(block.data(), data, size);
    if (GenerateABD(block.data(), static_cast<int>(size), false)
        != static_cast<long>(headerLength + size))
        abort();
    if (GetDataFromABD(block.data()) != static_cast<long>(size)
        || memcmp(block.data(), data, size) != 0)
        abort();
}

void indefiniteBlock(const uint8_t* data, size_t size)
{
    std::vector<char> block(size + 4);
    memcpy(block.data(), data, size);
    const long length = GenerateABD(block.data(), static_cast<int>(size), true);
    if (length < static_cast<long>(size + 2) || memcmp(block.data() + 2, data, size) != 0)
        abort();
    const char* end = block.data() + length;
    if (end[-1] != '\n' && !(end[-1] == '\r' && end[-2] == '\r'))
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    readBlock(data, size);
    roundTrip(data, size);
    indefiniteBlock(data, size);
    return 0;
}
