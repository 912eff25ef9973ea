// Wall-clock and resident-memory readings shared by the end-to-end timing programs.
#ifndef BENCH_PROCESS_STATUS_H
#define BENCH_PROCESS_STATUS_H

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

inline double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// CLOCK_MONOTONIC in milliseconds, the clock that the comparison script starts its runs on.
inline double monotonicMilliseconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// CPU time of the whole process, all threads, in milliseconds: on a shared machine it tells
// the work done apart from waiting for a turn on a core.
inline double processCpuMilliseconds()
{
    timespec used {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return used.tv_sec * 1e3 + used.tv_nsec / 1e6;
}

// Prints when the first PDF of the process was finished, on that clock.
inline void printFirstPdfFinished()
{
    std::printf("first_pdf_at_ms=%.3f\n", monotonicMilliseconds());
    std::fflush(stdout);
}

// A "VmRSS"/"VmHWM"-style field of /proc/self/status in kB, or -1 when absent.
inline long statusKilobytes(const char* field)
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) {
        return -1;
    }
    const size_t fieldLength = std::strlen(field);
    char line[256];
    long kilobytes = -1;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, fieldLength) == 0 && line[fieldLength] == ':') {
            kilobytes = std::strtol(line + fieldLength + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kilobytes;
}

// Prints the resident set and its high-water mark as "rss_<when>_kb=... hwm_<when>_kb=...".
inline void printResidentMemory(const char* when)
{
    std::printf("rss_%s_kb=%ld hwm_%s_kb=%ld\n", when, statusKilobytes("VmRSS"), when,
        statusKilobytes("VmHWM"));
    std::fflush(stdout);
}

// True when path holds a PDF file of some substance.
inline bool isFinishedPdf(const char* path)
{
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        return false;
    }
    char magic[5] = {};
    const bool hasMagic = std::fread(magic, 1, 4, file) == 4 && std::strcmp(magic, "%PDF") == 0;
    std::fseek(file, 0, SEEK_END);
    const long size = std::ftell(file);
    std::fclose(file);
    return hasMagic && size > 1000;
}

#endif
