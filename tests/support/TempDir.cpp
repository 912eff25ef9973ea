#include "TempDir.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

TempDir::TempDir(Use use)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "rg-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary directory");
    mPath = pattern;
    if (use == AsWorkingDirectory) {
        mPrevious = open(".", O_RDONLY | O_DIRECTORY);
        if (chdir(mPath.c_str()) != 0)
            throw std::runtime_error("cannot enter " + mPath);
    }
}

TempDir::~TempDir()
{
    if (mPrevious >= 0 && fchdir(mPrevious) == 0)
        close(mPrevious);
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
}

std::string TempDir::file(const std::string& name) const
{
    const std::filesystem::path path = std::filesystem::path(mPath) / name;
    std::filesystem::create_directories(path.parent_path());
    return path.string();
}
