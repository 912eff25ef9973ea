// Small helpers shared by the utility tests.
#ifndef REPORTGENERATOR_TESTS_UTILSTESTHELPERS_H
#define REPORTGENERATOR_TESTS_UTILSTESTHELPERS_H

#include <functional>
#include <string>

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool fileExists(const std::string& path);

// Runs body in a forked child and returns its exit code (body's result), or -1 when the
// child did not exit normally. For cases that change process limits or need a process
// that never logged.
int runInChild(const std::function<int()>& body);

// A GoogleTest row name made from the row's input: letters and digits stay, everything
// else is spelt out ("-" gives "minus", a blank "_"), so that rows are named after input.
std::string rowName(const std::string& input);

// Directory of the fixtures in tests/data/utils.
std::string utilsDataDir();

#endif
