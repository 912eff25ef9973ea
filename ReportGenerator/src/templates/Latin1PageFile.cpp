#include "templates/Latin1PageFile.h"

namespace {

constexpr int WRITE_SIZE = 64 * 1024;

void appendCharacterReference(QByteArray& bytes, uint codePoint)
{
    bytes += "&#";
    bytes += QByteArray::number(codePoint);
    bytes += ';';
}

} // namespace

CLatin1PageFile::CLatin1PageFile(const char* targetPath)
    : m_file(targetPath)
    , m_open(m_file.Open())
{ }

QByteArray CLatin1PageFile::Encode(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() <= 0xFF)
            bytes += static_cast<char>(c.unicode());
        else if (!c.isSurrogate())
            appendCharacterReference(bytes, c.unicode());
        else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            appendCharacterReference(bytes, QChar::surrogateToUcs4(c, text.at(++i)));
        else
            bytes += '?';
    }
    return bytes;
}

bool CLatin1PageFile::Write(const QString& text)
{
    m_pending += Encode(text);
    return m_pending.size() < WRITE_SIZE || Flush();
}

bool CLatin1PageFile::Commit()
{
    return Flush() && m_file.Commit();
}

bool CLatin1PageFile::Flush()
{
    const bool written = m_file.Write(m_pending.constData(), static_cast<size_t>(m_pending.size()));
    m_pending.clear();
    return written;
}
