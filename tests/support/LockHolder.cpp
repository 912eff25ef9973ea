#include "LockHolder.h"

LockHolder::LockHolder(const std::string& path)
{
    m_flock.start(QStringLiteral("flock"),
        { QString::fromStdString(path), "sh", "-c", "echo held && exec cat" });
    m_flock.waitForReadyRead(5000);
}

LockHolder::~LockHolder()
{
    m_flock.closeWriteChannel();
    m_flock.waitForFinished(5000);
}

bool LockHolder::IsHeldElsewhere(const std::string& path)
{
    return QProcess::execute(QStringLiteral("flock"),
               { "--nonblock", "--conflict-exit-code", "9", QString::fromStdString(path), "true" })
        == 9;
}
