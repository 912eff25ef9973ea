// IEEE 488.2 block reading and writing on arbitrary bytes, in buffers of exactly the size
// the functions may use, so that the sanitizers see any access past them.
#include <ReportGenerator/BlockData.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    int header = 0;
    const long length = IsABD(text.data(), &header);
    // Callers hand over a buffer that holds the block its header announces.
    if (length > 0 && static_cast<size_t>(header + length) <= text.size())
        GetDataFromABD(text.data());

    // Either form holds the data after its header.
    for (const bool indefinite : { false, true }) {
        const size_t headerLength = indefinite ? 2 : 2 + std::to_string(size).size();
        std::vector<char> block(size + headerLength + 2);
        memcpy(block.data(), data, size);
        const long blockLength = GenerateABD(block.data(), static_cast<int>(size), indefinite);
        if (blockLength < static_cast<long>(headerLength + size)
            || memcmp(block.data() + headerLength, data, size) != 0)
            abort();
        // An indefinite block ends with a line end; a definite one gives its data back whole.
        const char* end = block.data() + blockLength;
        const bool whole = indefinite ? end[-1] == '\n' || (end[-1] == '\r' && end[-2] == '\r')
                                      : (GetDataFromABD(block.data()) == static_cast<long>(size)
                                          && memcmp(block.data(), data, size) == 0);
        if (!whole)
            abort();
    }
    return 0;
}
