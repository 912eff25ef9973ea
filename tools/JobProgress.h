// The progress of a job on the terminal.
#ifndef RG_TOOLS_JOBPROGRESS_H
#define RG_TOOLS_JOBPROGRESS_H

#include <chrono>
#include <string>

// One line on standard error, rewritten for each row: row k of n, its output, the time
// spent and the time left. Shown only when standard error is a terminal.
class CJobProgress
{
public:
    CJobProgress(int rows, bool wanted);

    void Starting(int row, const std::string& output);
    // Clears the line, so that a message or the summary stands on a line of its own.
    void Clear();

private:
    bool m_shown;
    int m_rows;
    std::chrono::steady_clock::time_point m_start;
};

#endif
