// Whole files as byte strings, and what a directory holds.
#ifndef RG_TESTS_FILES_H
#define RG_TESTS_FILES_H

#include <map>
#include <string>
#include <vector>

namespace files {

// Empty when the file cannot be read.
std::string Read(const std::string& path);
// A fixture with its placeholders ("@CWD@" and the like) replaced.
std::string ReadFilled(const std::string& path, const std::map<std::string, std::string>& values);
// False when the file cannot be written whole.
bool Write(const std::string& path, const std::string& bytes);
// Anything at path, a dangling link included.
bool Exists(const std::string& path);
// Names in the directory, hidden ones included, sorted.
std::vector<std::string> Entries(const std::string& directory);

} // namespace files

#endif
