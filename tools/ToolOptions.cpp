#include "ToolOptions.h"

#include <getopt.h>

#include <map>

namespace {

enum LongOnly { LOW_MAG = 256, HIGH_MAG, LOCALE_DIR, PACKAGE, LABELS, JOB, COMBINED, PAGE_SIZE };

const option OPTIONS[] = {
    { "help", no_argument, nullptr, 'h' },
    { "template", required_argument, nullptr, 't' },
    { "language", required_argument, nullptr, 'l' },
    { "customer", required_argument, nullptr, 'c' },
    { "results", required_argument, nullptr, 'r' },
    { "low-mag", required_argument, nullptr, LOW_MAG },
    { "high-mag", required_argument, nullptr, HIGH_MAG },
    { "format", required_argument, nullptr, 'f' },
    { "output", required_argument, nullptr, 'o' },
    { "locale-dir", required_argument, nullptr, LOCALE_DIR },
    { "package", required_argument, nullptr, PACKAGE },
    { "labels", no_argument, nullptr, LABELS },
    { "job", required_argument, nullptr, JOB },
    { "combined", required_argument, nullptr, COMBINED },
    { "page-size", required_argument, nullptr, PAGE_SIZE },
    { "quiet", no_argument, nullptr, 'q' },
    { nullptr, 0, nullptr, 0 },
};

const std::map<std::string, int> FORMATS = { { "pdf", 0 }, { "printer", 1 }, { "screen", 2 } };
const std::map<std::string, int> PAGE_SIZES = { { "Letter", 0 }, { "A4", 1 } };

} // namespace

const char* CToolOptions::Usage()
{
    return "Usage: render-report --template FILE --customer FILE --results FILE\n"
           "                     --low-mag IMAGE --high-mag IMAGE [--language NAME]\n"
           "                     [--format pdf|printer|screen] [--output FILE]\n"
           "                     [--locale-dir DIR] [--package NAME] [--page-size A4|Letter]\n"
           "       render-report --job FILE.csv [--combined FILE.pdf] [--quiet] [--template FILE]\n"
           "                     [--language NAME] [--locale-dir DIR] [--package NAME]\n"
           "                     [--page-size A4|Letter]\n"
           "       render-report --labels --template FILE [--output FILE.pot]\n"
           "\n"
           "Fills an inspection report template with labels in the report language and the\n"
           "values of the two XML files, then writes it as a PDF file, prints it or shows it\n"
           "full screen. With --labels, writes the template's labels as a gettext template\n"
           "(.pot) from which translators start a catalog with msginit.\n"
           "\n"
           "  -t, --template FILE   report template (HTML with {~label~}, {@tag@} and {$image$})\n"
           "  -l, --language NAME   language of the report: ENGLISH, FRENCH, GERMAN, CHINESE...\n"
           "                        (default: the language of the environment)\n"
           "  -c, --customer FILE   customer-information XML file\n"
           "  -r, --results FILE    checker-results XML file\n"
           "      --low-mag IMAGE   low-magnification inspection image\n"
           "      --high-mag IMAGE  high-magnification inspection image\n"
           "  -f, --format FORMAT   pdf (default), printer (print dialog) or screen\n"
           "  -o, --output FILE     the PDF file (\".pdf\" is appended unless the name ends so);\n"
           "                        with --labels the .pot file (default: standard output)\n"
           "      --locale-dir DIR  catalogs: DIR/<locale>/LC_MESSAGES/<package>.mo\n"
           "      --package NAME    catalog name (text domain), such as DovaReport\n"
           "      --page-size SIZE  paper of the PDF files: Letter (default) or A4\n"
           "      --job FILE.csv    one PDF report per row of FILE.csv, whose header names the\n"
           "                        columns customer, results, low-mag, high-mag and output\n"
           "                        and, to override the options for a row, language and\n"
           "                        template; file names are relative to FILE.csv\n"
           "      --combined FILE   with --job, also one PDF of all the reports, in job order\n"
           "  -q, --quiet           with --job, no progress line on the terminal\n"
           "      --labels          list the template's labels instead of rendering\n"
           "  -h, --help            show this help\n"
           "\n"
           "PDF output works without a display. Exit status: 0 done, 2 a wrong or missing\n"
           "argument or an unreadable input file, 3 the report page could not be built,\n"
           "4 the page could not be rendered, 5 some rows of a job failed.\n";
}

bool CToolOptions::Parse(int argc, char** argv)
{
    optind = 1;
    opterr = 0;
    int option = 0;
    while ((option = getopt_long(argc, argv, ":hqt:l:c:r:f:o:", OPTIONS, nullptr)) != -1) {
        if (!Take(option, optarg))
            return false;
    }
    if (optind < argc) {
        m_error = std::string("unexpected argument '") + argv[optind] + "'";
        return false;
    }
    return help || CheckComplete();
}

bool CToolOptions::Take(int option, const char* value)
{
    const std::map<int, std::string*> texts = { { 't', &files.templateFile },
        { 'l', &files.language }, { 'c', &files.customerFile }, { 'r', &files.resultsFile },
        { LOW_MAG, &files.lowMagImage }, { HIGH_MAG, &files.highMagImage }, { 'o', &files.output },
        { LOCALE_DIR, &localeDir }, { PACKAGE, &package }, { JOB, &jobFile },
        { COMBINED, &combinedFile } };
    if (texts.count(option)) {
        *texts.at(option) = value;
        return true;
    }
    switch (option) {
    case 'h':
        help = true;
        return true;
    case LABELS:
        listLabels = true;
        return true;
    case 'q':
        quiet = true;
        return true;
    case PAGE_SIZE:
        if (!PAGE_SIZES.count(value)) {
            m_error = std::string("unknown page size '") + value + "' (A4 or Letter)";
            return false;
        }
        pageSize = PAGE_SIZES.at(value);
        return true;
    case 'f':
        if (!FORMATS.count(value)) {
            m_error = std::string("unknown format '") + value + "' (pdf, printer or screen)";
            return false;
        }
        format = FORMATS.at(value);
        return true;
    case ':':
        m_error = "an option lacks its value";
        return false;
    default:
        m_error = "unknown option";
        return false;
    }
}

// A job takes the files of its reports from its rows.
bool CToolOptions::CheckComplete()
{
    const std::pair<const std::string*, const char*> required[] = { { &files.templateFile,
                                                                        "--template" },
        { &files.customerFile, "--customer" }, { &files.resultsFile, "--results" },
        { &files.lowMagImage, "--low-mag" }, { &files.highMagImage, "--high-mag" } };
    const size_t count = !jobFile.empty() ? 0
        : listLabels                      ? 1
                                          : sizeof required / sizeof required[0];
    for (size_t i = 0; i < count; ++i) {
        if (required[i].first->empty()) {
            m_error = std::string("missing ") + required[i].second;
            return false;
        }
    }
    if (!combinedFile.empty() && jobFile.empty()) {
        m_error = "--combined needs --job";
        return false;
    }
    if (!jobFile.empty() && format != 0) {
        m_error = "a job writes PDF files only";
        return false;
    }
    if (jobFile.empty() && !listLabels && format == 0 && files.output.empty()) {
        m_error = "missing --output for the PDF file";
        return false;
    }
    return true;
}
