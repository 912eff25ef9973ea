/* Measures the label pauses of a process that makes reports: preloaded (LD_PRELOAD), it
 * stands in for usleep, sleeps as asked, and at exit adds the time slept, in microseconds,
 * as one line to the file that RG_PAUSE_LOG names. The pauses are kept, only timed, unless
 * RG_PAUSE_SKIP is set: then none is made, to time the work alone. */
#define _GNU_SOURCE
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static long long slept_us;
static int skipping;

__attribute__((constructor)) static void setUp(void)
{
    skipping = getenv("RG_PAUSE_SKIP") != NULL;
}

__attribute__((visibility("default"))) int usleep(useconds_t microseconds)
{
    if (skipping)
        return 0;
    struct timespec start, end;
    struct timespec wanted = { microseconds / 1000000, (microseconds % 1000000) * 1000L };
    clock_gettime(CLOCK_MONOTONIC, &start);
    while (nanosleep(&wanted, &wanted) != 0 && errno == EINTR) { }
    clock_gettime(CLOCK_MONOTONIC, &end);
    slept_us += (end.tv_sec - start.tv_sec) * 1000000LL + (end.tv_nsec - start.tv_nsec) / 1000;
    return 0;
}

__attribute__((destructor)) static void report(void)
{
    const char* path = getenv("RG_PAUSE_LOG");
    FILE* file = path ? fopen(path, "a") : NULL;
    if (file) {
        fprintf(file, "%lld\n", slept_us);
        fclose(file);
    }
}
