// The profile reader and writer on arbitrary file contents.
#include <ReportGenerator/ProfileFile.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

char directory[] = "/dev/shm/fuzz_profile-XXXXXX";

// One private directory per process, in memory where possible (the writer syncs what it
// writes), removed when the process exits.
bool makeDirectory()
{
    if (!mkdtemp(directory) && !mkdtemp(strcpy(directory, "/tmp/fuzz_profile-XXXXXX")))
        return false;
    return atexit([] {
        for (const char* leftover : { "/read.ini", "/write.ini", "/write.ini~" })
            remove((directory + std::string(leftover)).c_str());
        rmdir(directory);
    }) == 0;
}

std::string writeFile(const char* name, const uint8_t* data, size_t size)
{
    static const bool made = makeDirectory();
    const std::string path = directory + std::string(name);
    FILE* file = made ? fopen(path.c_str(), "wb") : nullptr;
    if (!file || fwrite(data, 1, size, file) != size || fclose(file) != 0)
        abort();
    return path;
}

char* text(const std::string& value)
{
    return const_cast<char*>(value.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string profile = writeFile("/read.ini", data, size);
    char dest[80];
    for (const char* key : { "Speed", "ExcludeFile1", "", "#Key", "ExcludeLine1_1" }) {
        GetPrivateProfileStr(text(key), text("default"), dest, text(profile));
        GetPrivateProfileInt(text(key), 7, text(profile));
    }
    const std::string copy = writeFile("/write.ini", data, size);
    if (SetPrivateProfileStr(text("Speed"), text("12"), text(copy)) > 1)
        abort();
    GetPrivateProfileStr(text("Speed"), text("default"), nullptr, text(copy));
    return 0;
}
