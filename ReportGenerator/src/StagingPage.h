// The fixed staging page: written by the report assembly, rendered by the renderer.
#ifndef REPORTGENERATOR_STAGINGPAGE_H
#define REPORTGENERATOR_STAGINGPAGE_H

#define STAGING_PAGE_PATH "/tmp/DomReportGenerator.htm"

#endif
