// TODO(pipeline): the report assembly.
#include <ReportGenerator/ReportGenerator.h>

extern "C" int CreateReportHtml(
    const char*, const char*, const char*, const char*, const char*, const char*)
{
    return 1;
}
