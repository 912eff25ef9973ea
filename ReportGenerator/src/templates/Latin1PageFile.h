// A page written as ISO 8859-1 that replaces its target only once it is complete.
#ifndef REPORTGENERATOR_LATIN1PAGEFILE_H
#define REPORTGENERATOR_LATIN1PAGEFILE_H

#include "io/ReplacingFile.h"

#include <QByteArray>
#include <QString>

class CLatin1PageFile
{
public:
    // Opens the file; IsOpen() tells whether that worked, File() why not.
    explicit CLatin1PageFile(const char* targetPath);

    bool IsOpen() const { return m_open; }
    // False once any write has failed; later writes are skipped.
    bool Write(const QString& text);
    // Writes what is pending and commits the file (see CReplacingFile::Commit).
    bool Commit();
    const CReplacingFile& File() const { return m_file; }

    // Characters up to U+00FF become one byte each; every other code point becomes a
    // decimal character reference, so that no page text is lost whatever the charset
    // the template declares. A lone surrogate becomes "?".
    static QByteArray Encode(const QString& text);

private:
    bool Flush();

    CReplacingFile m_file;
    bool m_open;
    // Lines are gathered into larger writes.
    QByteArray m_pending;
};

#endif
