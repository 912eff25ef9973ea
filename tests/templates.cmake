# HTML templates and the report's XML data, from data/templates. The XML tests read the
# private mXmlText and translate through a test catalog.
foreach(test test_HtmlReport test_XmlParser)
    rg_add_test(${test} SOURCES ${test}.cpp)
    target_compile_definitions(${test} PRIVATE RG_CATALOG_DIR="${rg_catalog_dir}"
        RG_TEMPLATE_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data/templates")
endforeach()
target_compile_options(test_XmlParser PRIVATE -fno-access-control)
add_dependencies(test_XmlParser localisation_test_catalogs)
rg_add_test(test_XmlEntityBudget SOURCES test_XmlEntityBudget.cpp)
# The exported classes' sizes and field offsets, which hosts rely on.
rg_add_test(test_ClassLayouts SOURCES test_ClassLayouts.cpp)
target_compile_options(test_ClassLayouts PRIVATE -fno-access-control -Wno-invalid-offsetof)
rg_add_test(test_ReplacingFile SOURCES test_ReplacingFile.cpp)
