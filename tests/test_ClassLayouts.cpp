// Hosts allocate and embed the exported classes from their own declarations: the size and
// every field's offset must stay as those declarations say. Built with -fno-access-control
// so that offsetof reaches the private fields.
#include <ReportGenerator/HtmlReport.h>
#include <ReportGenerator/ReadMoFile.h>
#include <ReportGenerator/RenderReport.h>
#include <ReportGenerator/XmlParser.h>

#include <QDomDocument>
#include <QObject>
#include <QString>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <type_traits>

class QPushButton;
class QVBoxLayout;
class QWebView;
class QWidget;

namespace {

// The classes as a host declares them: these fields, in this order, nothing else.
struct HostHtmlReport
{
    char* m_pcTemplateHtmlFilename;
    char* m_pcOutputHtmlFilename;
};

struct HostXmlParser
{
    QDomDocument mDomDocument;
    QString mXmlText;
};

struct HostReadMoFile
{
    unsigned char* data;
    int Reversed;
    uint32_t num_strings;
    uint32_t original_table_offset;
    uint32_t translated_table_offset;
    uint32_t hash_num_entries;
    uint32_t hash_offset;
};

class HostRenderReport : public QObject
{
public:
    virtual ~HostRenderReport() = default;

    QString outputFilename;
    QWebView* webView;
    QWidget* win;
    QVBoxLayout* lay;
    QPushButton* btnClose;
};

struct LayoutRow
{
    const char* name;
    size_t actual;
    size_t host;
};

void PrintTo(const LayoutRow& row, std::ostream* out)
{
    *out << row.name;
}

#define SIZE_ROW(Class, Host)                                                                      \
    LayoutRow                                                                                      \
    {                                                                                              \
#Class "_size", sizeof(Class), sizeof(Host)                                                \
    }
#define FIELD_ROW(Class, Host, field)                                                              \
    LayoutRow                                                                                      \
    {                                                                                              \
#Class "_" #field, offsetof(Class, field), offsetof(Host, field)                           \
    }

const LayoutRow LAYOUT_ROWS[] = {
    SIZE_ROW(CHtmlReport, HostHtmlReport),
    FIELD_ROW(CHtmlReport, HostHtmlReport, m_pcTemplateHtmlFilename),
    FIELD_ROW(CHtmlReport, HostHtmlReport, m_pcOutputHtmlFilename),
    SIZE_ROW(CXmlParser, HostXmlParser),
    FIELD_ROW(CXmlParser, HostXmlParser, mDomDocument),
    FIELD_ROW(CXmlParser, HostXmlParser, mXmlText),
    SIZE_ROW(CReadMoFile, HostReadMoFile),
    FIELD_ROW(CReadMoFile, HostReadMoFile, data),
    FIELD_ROW(CReadMoFile, HostReadMoFile, Reversed),
    FIELD_ROW(CReadMoFile, HostReadMoFile, num_strings),
    FIELD_ROW(CReadMoFile, HostReadMoFile, original_table_offset),
    FIELD_ROW(CReadMoFile, HostReadMoFile, translated_table_offset),
    FIELD_ROW(CReadMoFile, HostReadMoFile, hash_num_entries),
    FIELD_ROW(CReadMoFile, HostReadMoFile, hash_offset),
    SIZE_ROW(CRenderReport, HostRenderReport),
    FIELD_ROW(CRenderReport, HostRenderReport, outputFilename),
    FIELD_ROW(CRenderReport, HostRenderReport, webView),
    FIELD_ROW(CRenderReport, HostRenderReport, win),
    FIELD_ROW(CRenderReport, HostRenderReport, lay),
    FIELD_ROW(CRenderReport, HostRenderReport, btnClose),
};

class ClassLayout : public testing::TestWithParam<LayoutRow>
{
};

TEST_P(ClassLayout, IsTheHostsDeclaration)
{
    EXPECT_EQ(GetParam().actual, GetParam().host);
}

INSTANTIATE_TEST_SUITE_P(Classes, ClassLayout, testing::ValuesIn(LAYOUT_ROWS),
    [](const testing::TestParamInfo<LayoutRow>& info) { return info.param.name; });

TEST(ClassLayouts, OnlyTheRendererIsPolymorphic)
{
    EXPECT_FALSE(std::is_polymorphic_v<CHtmlReport>);
    EXPECT_FALSE(std::is_polymorphic_v<CXmlParser>);
    EXPECT_FALSE(std::is_polymorphic_v<CReadMoFile>);
    EXPECT_TRUE((std::is_base_of_v<QObject, CRenderReport>));
    EXPECT_TRUE(std::has_virtual_destructor_v<CRenderReport>);
}

#if defined(__x86_64__)
TEST(ClassLayouts, SizesOnX86_64)
{
    EXPECT_EQ(sizeof(CHtmlReport), 16u);
    EXPECT_EQ(sizeof(CXmlParser), 16u);
    EXPECT_EQ(sizeof(CReadMoFile), 32u);
    EXPECT_EQ(sizeof(CRenderReport), 56u);
}
#endif

} // namespace
