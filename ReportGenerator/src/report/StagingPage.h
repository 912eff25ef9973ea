// The fixed staging page: written by the report assembly, rendered by the renderer.
#ifndef REPORTGENERATOR_STAGINGPAGE_H
#define REPORTGENERATOR_STAGINGPAGE_H

#include <sys/types.h>

#define STAGING_PAGE_PATH "/tmp/DomReportGenerator.htm"

// The page this process wrote last, so that unloading the library removes only its own
// page and never one that another process is about to render.
class CStagingPage
{
public:
    // Called with the staging lock held, right after this process wrote the page.
    static void NoteWrittenByThisProcess();
    // Removes the page when this process wrote it and no process is using it now.
    static void RemoveOwnPageIfUnused();

private:
    static bool s_written;
    static dev_t s_device;
    static ino_t s_inode;
};

#endif
