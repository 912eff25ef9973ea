#include "Latin1PageFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The process's file mode creation mask, read without changing it where the kernel
// reports it, since another thread may be creating files meanwhile.
mode_t CurrentUmask()
{
    if (FILE* status = fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned mask = 0;
        bool found = false;
        while (!found && fgets(line, sizeof line, status))
            found = sscanf(line, "Umask: %o", &mask) == 1;
        fclose(status);
        if (found)
            return static_cast<mode_t>(mask);
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

void AppendCharacterReference(QByteArray& bytes, uint codePoint)
{
    bytes += "&#";
    bytes += QByteArray::number(codePoint);
    bytes += ';';
}

} // namespace

Latin1PageFile::Latin1PageFile(const char* targetPath)
    : m_targetPath(targetPath)
    , m_temporaryPath(m_targetPath + ".XXXXXX")
{
    const int descriptor = mkstemp(m_temporaryPath.data());
    if (descriptor < 0) {
        m_error = errno;
        return;
    }
    m_file = fdopen(descriptor, "w");
    if (!m_file) {
        m_error = errno;
        close(descriptor);
        unlink(m_temporaryPath.c_str());
    }
}

Latin1PageFile::~Latin1PageFile()
{
    if (m_file)
        Discard();
}

QByteArray Latin1PageFile::Encode(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF)
            bytes += static_cast<char>(c.unicode());
        else if (!c.isSurrogate())
            AppendCharacterReference(bytes, c.unicode());
        else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            AppendCharacterReference(bytes, QChar::surrogateToUcs4(c, text.at(++i)));
        else
            bytes += '?';
    }
    return bytes;
}

bool Latin1PageFile::Write(const QString& text)
{
    if (!IsUsable())
        return false;
    const QByteArray bytes = Encode(text);
    if (fwrite(bytes.constData(), 1, bytes.size(), m_file) != static_cast<size_t>(bytes.size()))
        return Fail();
    return true;
}

bool Latin1PageFile::Commit()
{
    if (!IsUsable())
        return false;
    // Delayed allocation may report a full disk only when the data reaches the disk.
    const bool complete = fflush(m_file) == 0 && fsync(fileno(m_file)) == 0
        && fchmod(fileno(m_file), 0666 & ~CurrentUmask()) == 0;
    if (!complete)
        return Fail();
    const bool closed = fclose(m_file) == 0;
    m_file = nullptr;
    if (!closed || rename(m_temporaryPath.c_str(), m_targetPath.c_str()) != 0) {
        Fail();
        unlink(m_temporaryPath.c_str());
        return false;
    }
    return true;
}

bool Latin1PageFile::IsUsable() const
{
    return m_file && !m_error;
}

bool Latin1PageFile::Fail()
{
    m_error = errno ? errno : EIO;
    return false;
}

void Latin1PageFile::Discard()
{
    fclose(m_file);
    m_file = nullptr;
    unlink(m_temporaryPath.c_str());
}
