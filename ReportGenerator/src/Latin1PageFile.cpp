#include "Latin1PageFile.h"

namespace {

constexpr int WRITE_SIZE = 64 * 1024;

void AppendCharacterReference(QByteArray& bytes, uint codePoint)
{
    bytes += "&#";
    bytes += QByteArray::number(codePoint);
    bytes += ';';
}

} // namespace

Latin1PageFile::Latin1PageFile(const char* targetPath)
    : m_file(targetPath)
    , m_open(m_file.Open())
{ }

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
    m_pending += Encode(text);
    return m_pending.size() < WRITE_SIZE || Flush();
}

bool Latin1PageFile::Commit()
{
    return Flush() && m_file.Commit();
}

bool Latin1PageFile::Flush()
{
    const bool written = m_file.Write(m_pending.constData(), static_cast<size_t>(m_pending.size()));
    m_pending.clear();
    return written;
}
