# HTML templates and the report's XML data.
rg_add_test(test_HtmlReport SOURCES test_HtmlReport.cpp)
rg_add_test(test_XmlParser SOURCES test_XmlParser.cpp)
rg_add_test(test_XmlEntityBudget SOURCES test_XmlEntityBudget.cpp)
# The exported classes' sizes and field offsets, which hosts rely on; offsetof must reach
# the private fields.
rg_add_test(test_ClassLayouts SOURCES test_ClassLayouts.cpp)
target_compile_options(test_ClassLayouts PRIVATE -fno-access-control -Wno-invalid-offsetof)
rg_add_test(test_ReplacingFile SOURCES test_ReplacingFile.cpp)
