// A private temporary directory, removed with everything in it when the object goes.
#ifndef REPORTGENERATOR_TESTS_TEMPDIR_H
#define REPORTGENERATOR_TESTS_TEMPDIR_H

#include <string>

class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return mPath; }
    // Path of name inside the directory, its parent directories created.
    std::string file(const std::string& name) const;

private:
    std::string mPath;
};

#endif
