// A file opened for reading only when it is a regular file.
#ifndef REPORTGENERATOR_REGULARFILE_H
#define REPORTGENERATOR_REGULARFILE_H

#include <QByteArray>

#include <cstdio>
#include <string>

// A FIFO or a device would block the reader forever (the load timer cannot interrupt a
// read) and a directory is no document: anything but a regular file is refused at once,
// with EISDIR for a directory and EINVAL for the other kinds.
class CRegularFile
{
public:
    explicit CRegularFile(const char* path);
    ~CRegularFile();
    CRegularFile(const CRegularFile&) = delete;
    CRegularFile& operator=(const CRegularFile&) = delete;

    bool IsOpen() const { return m_descriptor >= 0; }
    // The errno value of the failure, 0 when the file is open.
    int Error() const { return m_error; }
    // Why the file cannot be read, for messages: what stands there when it is no regular
    // file, else the system's text for Error().
    std::string Reason() const;

    // Hands the file over as a stream; null (errno set) when that fails. The object no
    // longer owns the file either way.
    FILE* TakeStream();
    // The whole file up to limit bytes; false on a read error or a longer file.
    bool ReadAll(QByteArray& bytes, qint64 limit);

    // Whether an open descriptor is of a regular file.
    static bool IsRegular(int descriptor);
    // What stands at path, for messages: "a directory owned by root (uid 0), mode 0755",
    // or "nothing" when there is nothing.
    static std::string Describe(const char* path);

private:
    std::string m_path;
    int m_descriptor;
    int m_error = 0;
};

#endif
