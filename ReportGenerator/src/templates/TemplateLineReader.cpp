#include "templates/TemplateLineReader.h"

#include "io/RegularFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

FILE* openTemplate(const char* path, int& error)
{
    CRegularFile file(path);
    FILE* stream = file.TakeStream();
    error = stream ? 0 : (file.Error() ? file.Error() : errno);
    return stream;
}

} // namespace

CTemplateLineReader::CTemplateLineReader(const char* path)
    : m_file(openTemplate(path, m_error))
{ }

CTemplateLineReader::~CTemplateLineReader()
{
    if (m_file)
        fclose(m_file);
    free(m_buffer);
}

bool CTemplateLineReader::ReadLine(QString& line)
{
    const ssize_t length = getline(&m_buffer, &m_capacity, m_file);
    if (length < 0)
        return false;
    // A zero byte ends the text of its line, line end included.
    line = QString::fromUtf8(m_buffer, static_cast<int>(strnlen(m_buffer, length)));
    return true;
}
