# HTML templates and the report's XML data.
rg_add_test(test_HtmlReport SOURCES test_HtmlReport.cpp)
rg_add_test(test_XmlParser SOURCES test_XmlParser.cpp)
rg_add_test(test_XmlEntityBudget SOURCES test_XmlEntityBudget.cpp)
