// Catalog lookups: CReadMoFile::text_lookup against glibc's dcgettext on the same compiled
// catalog and the same labels, and Get_Translation, which reads the catalog on every call.
#include "report/LibraryStrings.h"

#include <ReportGenerator/ReadMoFile.h>
#include <ReportGenerator/ReportGenerator.h>
#include <ReportGenerator/Translation.h>

#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <libintl.h>
#include <regex>
#include <string>
#include <vector>

namespace {

const char* const LOCALE = "fr_FR.UTF-8";

// A French catalog compiled by msgfmt into a private locale tree
// <dir>/fr_FR/LC_MESSAGES/<domain>.mo, with the labels of its source.
class CatalogTree
{
public:
    CatalogTree(const char* domainName, const char* poFile)
        : domain(domainName)
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "bench-translation-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            return;
        dir = pattern;
        const std::filesystem::path messages = dir + "/fr_FR/LC_MESSAGES";
        std::filesystem::create_directories(messages);
        catalog = (messages / (domain + ".mo")).string();
        const std::string po = std::string(RG_SOURCE_DIR) + "/" + poFile;
        const std::string command = "msgfmt -o '" + catalog + "' '" + po + "'";
        compiled = system(command.c_str()) == 0;
        readLabels(po);
    }
    ~CatalogTree()
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    std::string domain;
    std::string dir;
    std::string catalog;
    bool compiled = false;
    std::vector<std::string> found;
    std::vector<std::string> absent;

private:
    void readLabels(const std::string& po)
    {
        std::ifstream source(po);
        const std::regex msgid("^msgid \"(.+)\"$");
        std::smatch match;
        for (std::string line; std::getline(source, line);) {
            if (std::regex_match(line, match, msgid)) {
                found.push_back(match[1]);
                absent.push_back(match[1].str() + " (not translated)");
            }
        }
    }
};

// The labels of the example report, short as report labels are.
const CatalogTree& reportLabels()
{
    static const CatalogTree tree("BenchReport", "examples/po/fr_FR.po");
    return tree;
}

// 300 labels of 30 to 40 characters.
const CatalogTree& manyLabels()
{
    static const CatalogTree tree("BenchManyLabels", "tests/data/localisation/many-labels.po");
    return tree;
}

using Tree = const CatalogTree& (*)();
using Labels = std::vector<std::string> CatalogTree::*;

// Runs lookup over the labels in turn, once the reference lookup of the tree's own
// catalog agrees with it on every label.
template <typename Lookup>
void runLookups(benchmark::State& state, const CatalogTree& tree, Labels labels, Lookup lookup)
{
    const std::vector<std::string>& texts = tree.*labels;
    if (!tree.compiled || texts.empty()) {
        state.SkipWithError("msgfmt could not compile the catalog");
        return;
    }
    CReadMoFile reference(tree.catalog.c_str());
    for (const std::string& text : texts) {
        const char* expected = reference.text_lookup(text.c_str());
        const char* result = lookup(text.c_str());
        if (strcmp(result, expected) != 0
            || (result == text.c_str()) != (expected == text.c_str())) {
            state.SkipWithError(("lookups disagree on " + text).c_str());
            return;
        }
    }
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lookup(texts[next].c_str()));
        next = next + 1 == texts.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_TextLookup(benchmark::State& state, Tree tree, Labels labels)
{
    CReadMoFile catalog(tree().catalog.c_str());
    runLookups(state, tree(), labels,
        [&catalog](const char* label) { return catalog.text_lookup(label); });
}

// glibc picks the catalog by the process's message locale, and converts translations to
// the character set of its LC_CTYPE; LANGUAGE would override the locale.
void BM_Dcgettext(benchmark::State& state, Tree tree, Labels labels)
{
    unsetenv("LANGUAGE");
    if (!setlocale(LC_MESSAGES, LOCALE) || !setlocale(LC_CTYPE, LOCALE)) {
        state.SkipWithError("locale fr_FR.UTF-8 missing: run scripts/setup-debian.sh");
        return;
    }
    const char* domain = tree().domain.c_str();
    bindtextdomain(domain, tree().dir.c_str());
    runLookups(state, tree(), labels, [domain](const char* label) {
        return static_cast<const char*>(dcgettext(domain, label, LC_MESSAGES));
    });
}

// Opens and reads the whole catalog on every call, by design.
void BM_GetTranslation(benchmark::State& state, Tree tree, Labels labels)
{
    SetTextDomain(tree().domain.c_str(), tree().dir.c_str());
    g_sLanguage = "FRENCH";
    runLookups(state, tree(), labels, Get_Translation);
}

} // namespace

BENCHMARK_CAPTURE(BM_TextLookup, ReportFound, reportLabels, &CatalogTree::found);
BENCHMARK_CAPTURE(BM_Dcgettext, ReportFound, reportLabels, &CatalogTree::found);
BENCHMARK_CAPTURE(BM_TextLookup, ReportAbsent, reportLabels, &CatalogTree::absent);
BENCHMARK_CAPTURE(BM_Dcgettext, ReportAbsent, reportLabels, &CatalogTree::absent);
BENCHMARK_CAPTURE(BM_TextLookup, ManyLabelsFound, manyLabels, &CatalogTree::found);
BENCHMARK_CAPTURE(BM_Dcgettext, ManyLabelsFound, manyLabels, &CatalogTree::found);
BENCHMARK_CAPTURE(BM_TextLookup, ManyLabelsAbsent, manyLabels, &CatalogTree::absent);
BENCHMARK_CAPTURE(BM_Dcgettext, ManyLabelsAbsent, manyLabels, &CatalogTree::absent);
BENCHMARK_CAPTURE(BM_GetTranslation, ReportFound, reportLabels, &CatalogTree::found);
BENCHMARK_CAPTURE(BM_GetTranslation, ManyLabelsFound, manyLabels, &CatalogTree::found);
