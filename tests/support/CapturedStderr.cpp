#include "CapturedStderr.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

CapturedStderr::CapturedStderr()
    : mSaved(dup(STDERR_FILENO))
{
    FILE* file = tmpfile();
    if (!file || mSaved < 0)
        throw std::runtime_error("cannot capture standard error");
    mFile = dup(fileno(file));
    fclose(file);
    fflush(stderr);
    dup2(mFile, STDERR_FILENO);
}

CapturedStderr::~CapturedStderr()
{
    fflush(stderr);
    dup2(mSaved, STDERR_FILENO);
    close(mSaved);
    close(mFile);
}

std::string CapturedStderr::text() const
{
    fflush(stderr);
    std::string text;
    char block[4096];
    ssize_t count;
    for (off_t offset = 0; (count = pread(mFile, block, sizeof block, offset)) > 0; offset += count)
        text.append(block, static_cast<size_t>(count));
    return text;
}

namespace {

// Whether text at position matches pattern, where '9' stands for any decimal digit.
bool matchesPattern(const std::string& text, size_t position, const std::string& pattern)
{
    if (position + pattern.size() > text.size())
        return false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = text[position + i];
        if (pattern[i] == '9' ? !isdigit(static_cast<unsigned char>(c)) : c != pattern[i])
            return false;
    }
    return true;
}

// Length of the system log's "[ident][pid]: " at the start of line, or 0.
size_t systemLogPrefixLength(const std::string& line)
{
    if (line.empty() || line[0] != '[')
        return 0;
    const size_t pidStart = line.find("][");
    if (pidStart == std::string::npos)
        return 0;
    size_t end = pidStart + 2;
    while (end < line.size() && isdigit(static_cast<unsigned char>(line[end])))
        ++end;
    return end > pidStart + 2 && line.compare(end, 3, "]: ") == 0 ? end + 3 : 0;
}

} // namespace

std::vector<std::string> CapturedStderr::logLines() const
{
    const std::string all = text();
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < all.size()) {
        const size_t newline = all.find('\n', begin);
        const size_t end = newline == std::string::npos ? all.size() : newline + 1;
        const std::string line = all.substr(begin, end - begin);
        if (const size_t prefix = systemLogPrefixLength(line))
            lines.push_back(maskTimeStamp(line.substr(prefix)));
        begin = end;
    }
    return lines;
}

bool isTimeOfDay(const std::string& text)
{
    return text.size() == 19 && matchesPattern(text, 0, "9999-99-99 99:99:99");
}

std::string maskTimeStamp(const std::string& line)
{
    std::string masked = line;
    for (size_t at = masked.find('<'); at != std::string::npos; at = masked.find('<', at + 1)) {
        if (matchesPattern(masked, at, "<9999-99-99 99:99:99>")) {
            for (size_t i = at; i < at + 21; ++i) {
                if (isdigit(static_cast<unsigned char>(masked[i])))
                    masked[i] = 'd';
            }
            break;
        }
    }
    return masked;
}
