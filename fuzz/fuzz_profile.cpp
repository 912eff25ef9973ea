// The profile reader and writer on arbitrary file contents.
#include <ReportGenerator/ProfileFile.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const char* const FILE_NAMES[] = { "profile.ini", "copy.ini", "copy.ini~" };
char directory[64];

void removeWorkDirectory()
{
    for (const char* name : FILE_NAMES)
        remove((std::string(directory) + "/" + name).c_str());
    rmdir(directory);
}

bool makeDirectory(const char* parent)
{
    snprintf(directory, sizeof directory, "%s/fuzz_profile-XXXXXX", parent);
    return mkdtemp(directory) != nullptr;
}

// One private directory per fuzzing process, removed when the process exits.
std::string workDirectory()
{
    static const bool created = [] {
        // In memory where possible: the writer syncs every file it writes.
        if (!makeDirectory("/dev/shm") && !makeDirectory("/tmp"))
            abort();
        return atexit(removeWorkDirectory) == 0;
    }();
    (void)created;
    return directory;
}

void writeBytes(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file || fwrite(data, 1, size, file) != size || fclose(file) != 0)
        abort();
}

char* text(const char* value)
{
    return const_cast<char*>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string profile = workDirectory() + "/" + FILE_NAMES[0];
    writeBytes(profile, data, size);
    char dest[80];
    for (const char* key : { "Speed", "ExcludeFile1", "", "#Key", "ExcludeLine1_1" }) {
        GetPrivateProfileStr(text(key), text("default"), dest, text(profile.c_str()));
        GetPrivateProfileInt(text(key), 7, text(profile.c_str()));
    }

    const std::string copy = workDirectory() + "/" + FILE_NAMES[1];
    writeBytes(copy, data, size);
    if (SetPrivateProfileStr(text("Speed"), text("12"), text(copy.c_str())) > 1)
        abort();
    GetPrivateProfileStr(text("Speed"), text("default"), nullptr, text(copy.c_str()));
    return 0;
}
