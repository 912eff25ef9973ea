// The command line of render-report.
#ifndef RG_TOOLS_TOOLOPTIONS_H
#define RG_TOOLS_TOOLOPTIONS_H

#include <string>

// Exit statuses: each failure its own.
enum ToolExit {
    EXIT_DONE = 0,
    EXIT_BAD_ARGUMENTS = 2,
    EXIT_PAGE_FAILED = 3,
    EXIT_RENDER_FAILED = 4
};

class CToolOptions
{
public:
    // Reads the arguments; false, with the reason in Error(), when they do not make a call.
    bool Parse(int argc, char** argv);

    const std::string& Error() const { return m_error; }
    static const char* Usage();

    bool help = false;
    bool listLabels = false;
    std::string templateFile;
    std::string language; // empty: the environment's language
    std::string customerFile;
    std::string resultsFile;
    std::string lowMagImage;
    std::string highMagImage;
    int format = 0;
    std::string output;
    std::string localeDir;
    std::string package;

private:
    bool Take(int option, const char* value);
    bool CheckComplete();

    std::string m_error;
};

#endif
