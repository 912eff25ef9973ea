// Makes a number of reports of one page in one process through the library loaded with
// dlopen, as the instrument's application does, and prints the time of each report, the
// part of it spent in the library's pauses after each label, and the resident memory.
//
//   repeat_reports --library=libReportGenerator.so.1 --template=page.htm
//       --checker=CheckerResults.xml --customer=CustomerInfo.xml --low=low.png
//       --high=high.png --locale-dir=DIR --output-dir=DIR [--count=N] [--html-count=M]
//       [--language=ENGLISH] [--package=DovaReport] [--keep-page=FILE]
//
// Output, one "key=value" record a line: "load_ms", "report=i ms cpu_ms pause_ms pauses"
// for each CreateReport, the same with "html=i" for each extra CreateReportHtml, the
// resident memory after the first and after the last report, and "unload_ms".
#include "process_status.h"

#include <dlfcn.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

// Time the library spends in usleep, told apart from sleeps of other libraries by the
// caller's address.
struct PauseMeter
{
    const void* libraryBase = nullptr;
    double milliseconds = 0;
    int calls = 0;
};
PauseMeter pauseMeter;

bool calledFromLibrary(const void* returnAddress)
{
    Dl_info info {};
    return pauseMeter.libraryBase && dladdr(returnAddress, &info)
        && info.dli_fbase == pauseMeter.libraryBase;
}

using CreateReportFunction = int (*)(
    const char*, const char*, const char*, const char*, const char*, const char*, int, const char*);
using CreateReportHtmlFunction = int (*)(
    const char*, const char*, const char*, const char*, const char*, const char*);
using SetTextDomainFunction = void (*)(const char*, const char*);

struct LibraryApi
{
    void* handle = nullptr;
    CreateReportFunction createReport = nullptr;
    CreateReportHtmlFunction createReportHtml = nullptr;
    SetTextDomainFunction setTextDomain = nullptr;
};

using Options = std::map<std::string, std::string>;

Options parseOptions(int argc, char** argv)
{
    Options options { { "count", "1" }, { "html-count", "0" }, { "language", "ENGLISH" },
        { "package", "DovaReport" } };
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto equals = argument.find('=');
        if (argument.rfind("--", 0) != 0 || equals == std::string::npos) {
            throw std::runtime_error("bad argument " + argument);
        }
        options[argument.substr(2, equals - 2)] = argument.substr(equals + 1);
    }
    for (const char* required : { "library", "template", "checker", "customer", "low", "high",
             "locale-dir", "output-dir" }) {
        if (options.count(required) == 0) {
            throw std::runtime_error(std::string("missing --") + required);
        }
    }
    return options;
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

template <typename Function> Function requireSymbol(void* handle, const char* name)
{
    void* symbol = dlsym(handle, name);
    if (!symbol) {
        throw std::runtime_error(std::string("missing symbol ") + name);
    }
    return reinterpret_cast<Function>(symbol);
}

// Lazy binding, as the dynamic loader binds the comparison programs' libraries.
LibraryApi loadLibrary(const std::string& path)
{
    LibraryApi api;
    api.handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!api.handle) {
        throw std::runtime_error(std::string("dlopen: ") + dlerror());
    }
    api.createReport = requireSymbol<CreateReportFunction>(api.handle, "CreateReport");
    api.createReportHtml = requireSymbol<CreateReportHtmlFunction>(api.handle, "CreateReportHtml");
    api.setTextDomain = requireSymbol<SetTextDomainFunction>(api.handle, "SetTextDomain");
    Dl_info info {};
    if (dladdr(reinterpret_cast<void*>(api.createReport), &info)) {
        pauseMeter.libraryBase = info.dli_fbase;
    }
    return api;
}

// The inputs of one report, read once.
struct ReportInputs
{
    std::string templatePath, language, checkerXml, customerXml, lowImage, highImage, pdf;
};

void copyFile(const std::string& from, const std::string& to)
{
    std::ofstream(to, std::ios::binary) << readWholeFile(from);
}

// One call's cost: wall clock, CPU time of the process, and the pauses made during it.
struct Timing
{
    double milliseconds;
    double cpuMilliseconds;
    double pauseMilliseconds;
    int pauses;
};

template <typename Call> Timing timeCall(Call call)
{
    const PauseMeter before = pauseMeter;
    const double cpuStart = processCpuMilliseconds();
    const auto start = std::chrono::steady_clock::now();
    call();
    return { millisecondsSince(start), processCpuMilliseconds() - cpuStart,
        pauseMeter.milliseconds - before.milliseconds, pauseMeter.calls - before.calls };
}

void printRecord(const char* kind, int index, const Timing& timing)
{
    std::printf("%s=%d ms=%.3f cpu_ms=%.3f pause_ms=%.3f pauses=%d\n", kind, index,
        timing.milliseconds, timing.cpuMilliseconds, timing.pauseMilliseconds, timing.pauses);
    std::fflush(stdout);
}

void makeReport(const LibraryApi& api, const ReportInputs& in, int index)
{
    unlink(in.pdf.c_str());
    int result = -1;
    const Timing timing = timeCall([&] {
        result = api.createReport(in.templatePath.c_str(), in.language.c_str(),
            in.checkerXml.c_str(), in.customerXml.c_str(), in.lowImage.c_str(),
            in.highImage.c_str(), 0, in.pdf.c_str());
    });
    if (result != 0 || !isFinishedPdf(in.pdf.c_str())) {
        throw std::runtime_error("report " + std::to_string(index) + " failed, result "
            + std::to_string(result) + ", no PDF at " + in.pdf);
    }
    printRecord("report", index, timing);
}

void makePage(const LibraryApi& api, const ReportInputs& in, int index)
{
    int result = -1;
    const Timing timing = timeCall([&] {
        result = api.createReportHtml(in.templatePath.c_str(), in.language.c_str(),
            in.checkerXml.c_str(), in.customerXml.c_str(), in.lowImage.c_str(),
            in.highImage.c_str());
    });
    if (result != 0) {
        throw std::runtime_error("page " + std::to_string(index) + " failed");
    }
    printRecord("html", index, timing);
}

int run(const Options& options)
{
    const ReportInputs in { options.at("template"), options.at("language"),
        readWholeFile(options.at("checker")), readWholeFile(options.at("customer")),
        options.at("low"), options.at("high"), options.at("output-dir") + "/report.pdf" };
    const int count = std::stoi(options.at("count"));
    const int htmlCount = std::stoi(options.at("html-count"));

    auto start = std::chrono::steady_clock::now();
    const LibraryApi api = loadLibrary(options.at("library"));
    std::printf("load_ms=%.3f\n", millisecondsSince(start));
    api.setTextDomain(options.at("package").c_str(), options.at("locale-dir").c_str());

    for (int index = 1; index <= count; ++index) {
        makeReport(api, in, index);
        if (index == 1) {
            printFirstPdfFinished();
            printResidentMemory("after_first");
            if (options.count("keep-page")) {
                copyFile("/tmp/DomReportGenerator.htm", options.at("keep-page"));
            }
        }
    }
    printResidentMemory("after_last");
    for (int index = 1; index <= htmlCount; ++index) {
        makePage(api, in, index);
    }

    start = std::chrono::steady_clock::now();
    dlclose(api.handle);
    std::printf("unload_ms=%.3f\n", millisecondsSince(start));
    return 0;
}

} // namespace

// Stands in for the C library's usleep so that the library's pauses are timed, not skipped.
extern "C" __attribute__((visibility("default"))) int usleep(useconds_t microseconds)
{
    using UsleepFunction = int (*)(useconds_t);
    static const auto realUsleep = reinterpret_cast<UsleepFunction>(dlsym(RTLD_NEXT, "usleep"));
    const auto start = std::chrono::steady_clock::now();
    const int result = realUsleep(microseconds);
    if (calledFromLibrary(__builtin_return_address(0))) {
        pauseMeter.milliseconds += millisecondsSince(start);
        ++pauseMeter.calls;
    }
    return result;
}

int main(int argc, char** argv)
{
    try {
        return run(parseOptions(argc, argv));
    } catch (const std::exception& error) {
        std::cerr << "repeat_reports: " << error.what() << '\n';
        return 1;
    }
}
