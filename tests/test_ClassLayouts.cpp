// Hosts allocate and embed the exported classes from their own declarations: the size and
// every field's offset must stay as those declarations say. Built with -fno-access-control
// so that offsetof reaches the private fields.
#include <ReportGenerator/HtmlReport.h>
#include <ReportGenerator/ReadMoFile.h>
#include <ReportGenerator/RenderReport.h>
#include <ReportGenerator/XmlParser.h>

#include "TableTest.h"

#include <cstddef>

// The classes as a host declares them: these fields, in this order, nothing else.
struct HostCHtmlReport
{
    char *m_pcTemplateHtmlFilename, *m_pcOutputHtmlFilename;
};

struct HostCXmlParser
{
    QDomDocument mDomDocument;
    QString mXmlText;
};

struct HostCReadMoFile
{
    unsigned char* data;
    int Reversed;
    uint32_t num_strings, original_table_offset, translated_table_offset, hash_num_entries,
        hash_offset;
};

// Its pointers to a web view, a window, a layout and a button, held as plain pointers.
struct HostCRenderReport : QObject
{
    QString outputFilename;
    void *webView, *win, *lay, *btnClose;
};

// clang-format off
#define SIZE(Class) { #Class "_size", sizeof(Class), sizeof(Host##Class) }
#define FIELD(Class, field) { #Class "_" #field, offsetof(Class, field), offsetof(Host##Class, field) }
// clang-format on

// Name: the offset or size in the class, the same in the host's declaration.
const std::tuple<const char*, size_t, size_t> LAYOUTS[] = { SIZE(CHtmlReport),
    FIELD(CHtmlReport, m_pcTemplateHtmlFilename), FIELD(CHtmlReport, m_pcOutputHtmlFilename),
    SIZE(CXmlParser), FIELD(CXmlParser, mDomDocument), FIELD(CXmlParser, mXmlText),
    SIZE(CReadMoFile), FIELD(CReadMoFile, data), FIELD(CReadMoFile, Reversed),
    FIELD(CReadMoFile, num_strings), FIELD(CReadMoFile, original_table_offset),
    FIELD(CReadMoFile, translated_table_offset), FIELD(CReadMoFile, hash_num_entries),
    FIELD(CReadMoFile, hash_offset), SIZE(CRenderReport), FIELD(CRenderReport, outputFilename),
    FIELD(CRenderReport, webView), FIELD(CRenderReport, win), FIELD(CRenderReport, lay),
    FIELD(CRenderReport, btnClose) };
TABLE_TEST(Table, ClassLayout, IsTheHostsDeclaration, LAYOUTS)
{
    EXPECT_EQ(std::get<1>(GetParam()), std::get<2>(GetParam()));
}
