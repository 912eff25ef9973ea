#include "UtilsTestHelpers.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

bool fileExists(const std::string& path)
{
    struct stat status
    {
    };
    return stat(path.c_str(), &status) == 0;
}

int runInChild(const std::function<int()>& body)
{
    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

std::string rowName(const std::string& input)
{
    static const struct
    {
        char c;
        const char* name;
    } spelt[] = { { ' ', "_" }, { '-', "minus" }, { '+', "plus" }, { '\t', "tab" }, { '\r', "CR" },
        { '\n', "LF" }, { '\v', "VT" }, { '#', "hash" }, { ';', "semicolon" }, { '.', "dot" },
        { '%', "percent" }, { '=', "equals" }, { '_', "_" } };
    std::string name;
    for (const char c : input) {
        if (isalnum(static_cast<unsigned char>(c))) {
            name += c;
            continue;
        }
        std::string word = "x";
        for (const auto& entry : spelt) {
            if (entry.c == c)
                word = entry.name;
        }
        name += word;
    }
    return name.empty() ? "empty" : name;
}

std::string utilsDataDir()
{
    const char* source = getenv("RG_SOURCE_DIR");
    return std::string(source ? source : ".") + "/tests/data/utils";
}
