// Another process holding an advisory lock (flock), as a concurrent report would.
#ifndef RG_TESTS_LOCKHOLDER_H
#define RG_TESTS_LOCKHOLDER_H

#include <string>
#include <sys/types.h>

class LockHolder
{
public:
    // Returns once a child process holds an exclusive lock on path (created if missing).
    explicit LockHolder(const std::string& path);
    // The child lets go of the lock and ends.
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    // Whether some process other than the caller holds a lock on path now.
    static bool IsHeldElsewhere(const std::string& path);

private:
    pid_t m_child = -1;
    int m_release = -1;
};

#endif
