// Whole files as byte strings, and what a directory holds.
#ifndef RG_TESTS_FILES_H
#define RG_TESTS_FILES_H

#include <string>
#include <vector>

namespace files {

// Empty when the file cannot be read.
std::string Read(const std::string& path);
// False when the file cannot be written whole.
bool Write(const std::string& path, const std::string& bytes);
// Anything at path, a dangling link included.
bool Exists(const std::string& path);
// Names in the directory, hidden ones included, sorted.
std::vector<std::string> Entries(const std::string& directory);

} // namespace files

#endif
