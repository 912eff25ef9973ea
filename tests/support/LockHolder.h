// Another process holding an advisory lock (flock), as a concurrent report would.
#ifndef RG_TESTS_LOCKHOLDER_H
#define RG_TESTS_LOCKHOLDER_H

#include <QProcess>

#include <string>

class LockHolder
{
public:
    // Returns once flock(1) holds an exclusive lock on path (created if missing).
    explicit LockHolder(const std::string& path);
    // It lets go of the lock and ends.
    ~LockHolder();

    // Whether some process other than the caller holds a lock on path now.
    static bool IsHeldElsewhere(const std::string& path);

private:
    QProcess m_flock;
};

#endif
