/* A host without Qt of its own that loads the library with dlopen, renders a page to a PDF,
 * unloads the library, and does it all once more: the application object that the library
 * created outlives the first load, and neither the unload nor the process exit may crash.
 *
 *   render_dlopen_host LIBRARY PAGE OUTPUT1 OUTPUT2
 */
#include <dlfcn.h>
#include <stdio.h>

typedef int (*GenerateReportHtmlFunction)(const char*, const char*, int);

static int renderOnce(const char* library, const char* page, const char* output)
{
    void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        fprintf(stderr, "dlopen: %s\n", dlerror());
        return 2;
    }
    GenerateReportHtmlFunction generate =
        (GenerateReportHtmlFunction)dlsym(handle, "GenerateReportHtml");
    const int result = generate ? generate(page, output, 0) : 3;
    if (dlclose(handle) != 0) {
        fprintf(stderr, "dlclose: %s\n", dlerror());
        return 4;
    }
    return result == 0 ? 0 : 5;
}

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: %s LIBRARY PAGE OUTPUT1 OUTPUT2\n", argv[0]);
        return 1;
    }
    const int first = renderOnce(argv[1], argv[2], argv[3]);
    if (first != 0)
        return first;
    return renderOnce(argv[1], argv[2], argv[4]);
}
