#include "CapturedStderr.h"

#include <cctype>
#include <cstdio>
#include <sstream>
#include <unistd.h>

namespace {

// Length of the system log's "[ident][pid]: " at the start of line, or 0.
size_t systemLogPrefixLength(const std::string& line)
{
    const size_t pid = line.find("][");
    const size_t end = line.find("]: ", pid == std::string::npos ? 0 : pid);
    const bool digits = pid != std::string::npos && end > pid + 2
        && line.find_first_not_of("0123456789", pid + 2) == end;
    return line.rfind('[', 0) == 0 && digits ? end + 3 : 0;
}

} // namespace

CapturedStderr::CapturedStderr()
    : mSaved(dup(STDERR_FILENO))
{
    char path[] = "/tmp/rg-stderr-XXXXXX";
    mFile = mkstemp(path);
    unlink(path);
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

std::vector<std::string> CapturedStderr::logLines() const
{
    std::istringstream text(this->text());
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        const size_t prefix = systemLogPrefixLength(line);
        const size_t time = line.find('<', prefix);
        if (prefix == 0)
            continue;
        line = line.substr(prefix) + "\n";
        // The time stamp "<YYYY-MM-DD hh:mm:ss>" with its digits as 'd'.
        for (size_t i = time - prefix + 1; time != std::string::npos && i < time - prefix + 20; ++i)
            line[i] = isdigit(static_cast<unsigned char>(line[i])) ? 'd' : line[i];
        lines.push_back(line);
    }
    return lines;
}
