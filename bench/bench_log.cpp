// Cost of a log call that the threshold drops, and of one that is emitted.
#include <ReportGenerator/Log.h>

#include "LogState.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <syslog.h>
#include <unistd.h>

namespace {

// Sends standard error to /dev/null while it lives.
class DiscardedStderr
{
public:
    DiscardedStderr()
        : mSaved(dup(STDERR_FILENO))
    {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        close(null);
    }
    ~DiscardedStderr()
    {
        dup2(mSaved, STDERR_FILENO);
        close(mSaved);
    }
    DiscardedStderr(const DiscardedStderr&) = delete;
    DiscardedStderr& operator=(const DiscardedStderr&) = delete;

private:
    int mSaved;
};

// Level 7 with the default threshold 3.
void BM_LogDropped(benchmark::State& state)
{
    DiscardedStderr quiet;
    ResetLogState();
    LogMessage(
        0, LOG_ERR, true, true, true, "bench/bench_log", __LINE__, -1, "%s::start", __func__);
    for (auto _ : state)
        LogMessage(0, LOG_DEBUG, true, true, true, "bench/bench_log", __LINE__, -1, "%s::value %d",
            __func__, 42);
}
BENCHMARK(BM_LogDropped);

void BM_LogEmitted(benchmark::State& state)
{
    DiscardedStderr quiet;
    ResetLogState();
    for (auto _ : state)
        LogMessage(0, LOG_ERR, true, true, true, "bench/bench_log", __LINE__, -1, "%s::value %d",
            __func__, 42);
}
BENCHMARK(BM_LogEmitted);

} // namespace
