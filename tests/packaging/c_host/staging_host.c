/* A C host built against the installed library through pkg-config: fills the example
 * template into the staging page and copies that page out before the library is unloaded
 * (unloading deletes it).
 *
 * staging_host TEMPLATE CHECKER_TEXT CUSTOMER_TEXT LOW_MAG HIGH_MAG PACKAGE LOCALE_DIR COPY
 * (the two XML inputs are passed as texts) */
#include <ReportGenerator/ReportGenerator.h>

#include <stdio.h>
#include <string.h>

#define STAGING_PAGE "/tmp/DomReportGenerator.htm"

static int copy_file(const char* from, const char* to)
{
    char buffer[4096];
    size_t count;
    int ok = 1;
    FILE* in = fopen(from, "rb");
    FILE* out = in ? fopen(to, "wb") : NULL;
    if (!out) {
        if (in)
            fclose(in);
        return 0;
    }
    while ((count = fread(buffer, 1, sizeof buffer, in)) > 0)
        ok = ok && fwrite(buffer, 1, count, out) == count;
    ok = ok && !ferror(in);
    fclose(in);
    return fclose(out) == 0 && ok;
}

/* The text domain set by the host must come back unchanged. */
static int text_domain_round_trips(const char* package, const char* dir)
{
    char packageBack[256];
    char dirBack[4096];
    if (strlen(package) >= sizeof packageBack || strlen(dir) >= sizeof dirBack)
        return 0;
    SetTextDomain(package, dir);
    GetTextDomain(packageBack, dirBack);
    return strcmp(package, packageBack) == 0 && strcmp(dir, dirBack) == 0;
}

int main(int argc, char** argv)
{
    int result;
    if (argc != 9) {
        fprintf(stderr,
            "usage: %s TEMPLATE CHECKER_TEXT CUSTOMER_TEXT LOW_MAG HIGH_MAG PACKAGE "
            "LOCALE_DIR COPY\n",
            argv[0]);
        return 2;
    }
    if (!text_domain_round_trips(argv[6], argv[7])) {
        fprintf(stderr, "GetTextDomain does not give back what SetTextDomain set\n");
        return 1;
    }
    printf("languages=%d\n", GetNumLanguages());
    remove(STAGING_PAGE);
    result = CreateReportHtml(argv[1], "FRENCH", argv[2], argv[3], argv[4], argv[5]);
    printf("CreateReportHtml=%d\n", result);
    if (result != 0)
        return 1;
    if (!copy_file(STAGING_PAGE, argv[8])) {
        fprintf(stderr, "no staging page %s after a successful CreateReportHtml\n", STAGING_PAGE);
        return 1;
    }
    return 0;
}
