#include <ReportGenerator/ProfileFile.h>

#include <ReportGenerator/StringUtils.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Lines are read in pieces of 299 characters; a longer line counts as several lines.
constexpr size_t LINE_PIECE_SIZE = 300;
constexpr size_t VALUE_SIZE = 80;
constexpr size_t MAX_KEY_LENGTH = 99;
constexpr size_t COPY_BLOCK_SIZE = 4096;
constexpr mode_t PROFILE_MODE = 0666;

char profileValue[VALUE_SIZE];

struct CopyResult
{
    bool written;
    bool found;
};

void reportError(int line, const char* format, ...) __attribute__((format(printf, 2, 3)));
void reportError(int line, const char* format, ...)
{
    flockfile(stderr);
    fprintf(stderr, "[TARN_Utils]:[ERROR  ]: l=%d, ", line);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputs("\r\n", stderr);
    funlockfile(stderr);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Cut to the buffer's 79 characters; text may be the buffer itself.
void storeValue(const char* text)
{
    const size_t length = text ? strnlen(text, VALUE_SIZE - 1) : 0;
    if (length > 0)
        memmove(profileValue, text, length);
    profileValue[length] = '\0';
}

// The text after '=' when the line is an entry of key, else null.
char* entryValue(char* line, const char* key)
{
    char* equals = strchr(line, '=');
    if (!equals)
        return nullptr;
    const char* begin = line;
    const char* end = equals;
    while (begin < end && isBlank(*begin))
        ++begin;
    while (end > begin && isBlank(end[-1]))
        --end;
    const size_t keyLength = strlen(key);
    if (static_cast<size_t>(end - begin) != keyLength || memcmp(begin, key, keyLength) != 0)
        return nullptr;
    return equals + 1;
}

// An entry the readers would not give back as written is refused.
bool isStorableEntry(const char* key, const char* value)
{
    return strlen(key) <= MAX_KEY_LENGTH && strlen(value) < VALUE_SIZE && !strpbrk(key, "=\r\n")
        && !strpbrk(value, "\r\n");
}

bool writeEntry(FILE* file, const char* key, const char* value)
{
    return fprintf(file, "%s=%s\r\n", key, value) >= 0;
}

// Flushes, syncs and closes a file just written: true only when all of it reached the disk.
bool closeWritten(FILE* file)
{
    const bool flushed = fflush(file) == 0 && fsync(fileno(file)) == 0 && !ferror(file);
    return fclose(file) == 0 && flushed;
}

bool copyRest(FILE* in, FILE* out)
{
    char block[COPY_BLOCK_SIZE];
    size_t count;
    while ((count = fread(block, 1, sizeof block, in)) > 0) {
        if (fwrite(block, 1, count, out) != count)
            return false;
    }
    return !ferror(in);
}

// Copies in to out with the first entry of key replaced; lines before it lose their
// leading whitespace, lines after it are copied byte for byte.
CopyResult copyWithEntry(FILE* in, FILE* out, const char* key, const char* value)
{
    char line[LINE_PIECE_SIZE];
    CopyResult result { true, false };
    while (result.written && !result.found && fgets(line, sizeof line, in)) {
        TrimLeft(line);
        result.found = entryValue(line, key) != nullptr;
        result.written = result.found ? writeEntry(out, key, value) : fputs(line, out) != EOF;
    }
    if (result.written && result.found)
        result.written = copyRest(in, out);
    result.written = result.written && !ferror(in);
    return result;
}

int createProfile(const char* key, const char* value, const char* fileName)
{
    const int error = errno;
    reportError(540, "Open file %s failed with error number %d", fileName, error);
    if (error != ENOENT)
        return 0;
    reportError(543, "File %s is not found => Try to create it with Key=%s and Value=%s", fileName,
        key, value);
    // Exclusive: a file that appeared meanwhile is not ours to remove on failure.
    FILE* file = fopen(fileName, "ax");
    if (!file) {
        reportError(547, "Can NOT create file %s", fileName);
        return 0;
    }
    const bool written = writeEntry(file, key, value);
    if (!closeWritten(file) || !written) {
        remove(fileName);
        return 0;
    }
    chmod(fileName, PROFILE_MODE);
    return 1;
}

} // namespace

char* GetPrivateProfileStr(char* key, char* defaultValue, char* dest, char* fileName)
{
    storeValue(defaultValue);
    FILE* file = key && fileName ? fopen(fileName, "r") : nullptr;
    if (file) {
        char line[LINE_PIECE_SIZE];
        while (fgets(line, sizeof line, file)) {
            Trim(line);
            if (char* value = entryValue(line, key)) {
                TrimLeft(value);
                storeValue(value);
                break;
            }
        }
        fclose(file);
    }
    if (dest && dest != profileValue)
        strcpy(dest, profileValue);
    return profileValue;
}

int GetPrivateProfileInt(char* key, int defaultValue, char* fileName)
{
    char defaultText[16];
    itoa(defaultValue, defaultText, 10);
    const long value =
        strtol(GetPrivateProfileStr(key, defaultText, nullptr, fileName), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    return value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

int SetPrivateProfileStr(char* key, char* value, char* fileName)
{
    if (!key || !value || !fileName || !isStorableEntry(key, value))
        return 0;
    FILE* file = fopen(fileName, "r+");
    if (!file)
        return createProfile(key, value, fileName);
    const std::string tempPath = std::string(fileName) + '~';
    FILE* temp = fopen(tempPath.c_str(), "w");
    if (!temp) {
        reportError(567, "Create file %s failed", tempPath.c_str());
        fclose(file);
        return 0;
    }
    const CopyResult copy = copyWithEntry(file, temp, key, value);
    fclose(file);
    // The profile is replaced only by a complete copy; otherwise it stays as it was.
    if (!closeWritten(temp) || !copy.written) {
        remove(tempPath.c_str());
        return 0;
    }
    if (rename(tempPath.c_str(), fileName) != 0)
        reportError(
            630, "Error:%d => Can't rename file %s to %s", errno, tempPath.c_str(), fileName);
    chmod(fileName, PROFILE_MODE);
    return copy.found ? 1 : 0;
}
