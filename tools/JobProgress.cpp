#include "JobProgress.h"

#include <cstdio>
#include <unistd.h>

namespace {

std::string minutesAndSeconds(long seconds)
{
    char text[32];
    snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
    return text;
}

} // namespace

CJobProgress::CJobProgress(int rows, bool wanted)
    : m_shown(wanted && isatty(STDERR_FILENO))
    , m_rows(rows)
    , m_start(std::chrono::steady_clock::now())
{ }

// The time left is the mean time of the rows done so far times the rows still to do.
void CJobProgress::Starting(int row, const std::string& output)
{
    if (!m_shown)
        return;
    using namespace std::chrono;
    const long elapsed = duration_cast<seconds>(steady_clock::now() - m_start).count();
    const std::string left =
        row > 1 ? minutesAndSeconds(elapsed * (m_rows - row + 1) / (row - 1)) : "-:--";
    fprintf(stderr, "\r\033[K[%d/%d] %s  %s spent, %s left", row, m_rows, output.c_str(),
        minutesAndSeconds(elapsed).c_str(), left.c_str());
    fflush(stderr);
}

void CJobProgress::Clear()
{
    if (m_shown)
        fputs("\r\033[K", stderr);
}
