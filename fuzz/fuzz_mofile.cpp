// Arbitrary bytes loaded as a catalog, then looked up: the reader must stay inside the
// file image whatever the header, tables, hash slots and strings say.
#include <ReportGenerator/ReadMoFile.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The reader opens a path: each input is written to one in-memory file per process.
class MemoryFile
{
public:
    MemoryFile()
        : mFd(memfd_create("fuzz_mofile", 0))
        , mPath("/proc/self/fd/" + std::to_string(mFd))
    { }

    const char* replace(const uint8_t* data, size_t size) const
    {
        if (ftruncate(mFd, 0) != 0 || pwrite(mFd, data, size, 0) != static_cast<ssize_t>(size))
            abort();
        return mPath.c_str();
    }

private:
    int mFd;
    std::string mPath;
};

// Reads every byte of a result, so that one outside the image is reported; a
// translation lies inside the image, so it is shorter than the file.
void check(const char* result, const char* label, size_t size)
{
    if (result != label && strlen(result) >= size)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const MemoryFile file;
    CReadMoFile catalog(file.replace(data, size));
    for (const char* label : { "", "Pass", "Fail", "Zone", "Inspection Report" })
        check(catalog.text_lookup(label), label, size);
    // A label from the input itself, so that fuzzed source strings can match.
    const size_t tail = size < 16 ? size : 16;
    const std::string label(reinterpret_cast<const char*>(data) + size - tail, tail);
    check(catalog.text_lookup(label.c_str()), label.c_str(), size);
    for (int index = -1; index < 4; ++index)
        catalog.label_matches("Pass", index);
    return 0;
}
