// A page written as ISO 8859-1 that replaces its target only once it is complete.
#ifndef REPORTGENERATOR_LATIN1PAGEFILE_H
#define REPORTGENERATOR_LATIN1PAGEFILE_H

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <string>

// The text goes to a temporary file beside the target, which Commit() renames over the
// target: a failed write leaves the previous page whole, and a symbolic link standing at
// the target is replaced rather than followed. An uncommitted file is removed.
class Latin1PageFile
{
public:
    // Creates the temporary file; IsOpen() tells whether that worked, Error() why not.
    explicit Latin1PageFile(const char* targetPath);
    ~Latin1PageFile();
    Latin1PageFile(const Latin1PageFile&) = delete;
    Latin1PageFile& operator=(const Latin1PageFile&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    // False once any write has failed; later writes are skipped.
    bool Write(const QString& text);
    // Flushes, syncs and closes the file, gives it the mode a new file would get from
    // fopen and renames it over the target. False (target unchanged) on any failure.
    bool Commit();
    // The errno value of the first failure, 0 when there was none.
    int Error() const { return m_error; }

    // Characters up to U+00FF become one byte each; every other code point becomes a
    // decimal character reference, so that no page text is lost whatever the charset
    // the template declares. A lone surrogate becomes "?".
    static QByteArray Encode(const QString& text);

private:
    bool IsUsable() const;
    bool Fail();
    void Discard();

    std::string m_targetPath;
    std::string m_temporaryPath;
    FILE* m_file = nullptr;
    int m_error = 0;
};

#endif
