// Resolves arbitrary tag lists against arbitrary text: one value per tag when the text
// parses, the caller's list untouched when it does not.
#include <ReportGenerator/XmlParser.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    QStringList tags;
    for (int count = provider.ConsumeIntegralInRange(0, 12); count > 0; --count)
        tags << QString::fromStdString(provider.ConsumeRandomLengthString(32));
    const QString xmlText = QString::fromStdString(provider.ConsumeRemainingBytesAsString());

    CXmlParser parser;
    const QStringList callerList { "untouched" };
    QStringList values = callerList;
    const bool parsed = parser.GetTagsData(xmlText, tags, values);
    if (parsed ? values.size() != tags.size() : values != callerList)
        abort();
    return 0;
}
