#include "LockHolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

LockHolder::LockHolder(const std::string& path)
{
    int ready[2];
    int release[2];
    if (pipe(ready) != 0 || pipe(release) != 0)
        return;
    m_child = fork();
    if (m_child == 0) {
        close(release[1]);
        const int descriptor = open(path.c_str(), O_RDONLY | O_CREAT, 0644);
        const char held = descriptor >= 0 && flock(descriptor, LOCK_EX) == 0 ? 1 : 0;
        write(ready[1], &held, 1);
        char ignored;
        read(release[0], &ignored, 1);
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char held = 0;
    read(ready[0], &held, 1);
    close(ready[0]);
    m_release = release[1];
}

LockHolder::~LockHolder()
{
    if (m_release >= 0)
        close(m_release);
    if (m_child > 0)
        waitpid(m_child, nullptr, 0);
}

bool LockHolder::IsHeldElsewhere(const std::string& path)
{
    const pid_t child = fork();
    if (child == 0) {
        const int descriptor = open(path.c_str(), O_RDONLY);
        _exit(descriptor >= 0 && flock(descriptor, LOCK_EX | LOCK_NB) != 0 ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}
