// Standard error (file descriptor 2) diverted into a temporary file while the object lives,
// so that tests read back exactly what the code and the system log wrote there.
#ifndef RG_TESTS_CAPTUREDSTDERR_H
#define RG_TESTS_CAPTUREDSTDERR_H

#include <string>
#include <vector>

class CapturedStderr
{
public:
    CapturedStderr();
    ~CapturedStderr();
    CapturedStderr(const CapturedStderr&) = delete;
    CapturedStderr& operator=(const CapturedStderr&) = delete;

    // Everything written since the capture began.
    std::string text() const;
    // The log lines written so far, each without the system log's "[ident][pid]: " prefix,
    // the digits of its time stamp replaced by 'd', with its newline.
    std::vector<std::string> logLines() const;

private:
    int mSaved;
    int mFile;
};

#endif
