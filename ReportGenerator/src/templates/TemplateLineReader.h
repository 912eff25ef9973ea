// Reads a template line by line, for both the marker scan and the filling, so that the
// two always see the same lines whatever their length.
#ifndef REPORTGENERATOR_TEMPLATELINEREADER_H
#define REPORTGENERATOR_TEMPLATELINEREADER_H

#include <QString>

#include <cstdio>

class CTemplateLineReader
{
public:
    // Opens path for reading when it is a regular file; IsOpen() tells whether that worked,
    // Error() why not.
    explicit CTemplateLineReader(const char* path);
    ~CTemplateLineReader();
    CTemplateLineReader(const CTemplateLineReader&) = delete;
    CTemplateLineReader& operator=(const CTemplateLineReader&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    int Error() const { return m_error; }
    // The next whole line with its line end, decoded from UTF-8 up to its first zero
    // byte. False at the end of the file or on a read error.
    bool ReadLine(QString& line);

private:
    int m_error = 0;
    FILE* m_file;
    char* m_buffer = nullptr;
    size_t m_capacity = 0;
};

#endif
