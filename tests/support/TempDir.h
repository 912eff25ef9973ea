// A private temporary directory, removed with everything in it when the object goes;
// optionally the working directory while it lives.
#ifndef RG_TESTS_TEMPDIR_H
#define RG_TESTS_TEMPDIR_H

#include <string>

class TempDir
{
public:
    enum Use { Aside, AsWorkingDirectory };

    explicit TempDir(Use use = Aside);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return mPath; }
    // Path of name inside the directory, its parent directories created.
    std::string file(const std::string& name) const;

private:
    std::string mPath;
    // The previous working directory, even one too long for a path buffer.
    int mPrevious = -1;
};

#endif
