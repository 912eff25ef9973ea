# render-report, the command-line host, run as a separate program, and its job table.
rg_add_test(test_render-report SOURCES test_render-report.cpp STAGING)
target_compile_definitions(test_render-report PRIVATE
    RG_RENDER_REPORT="$<TARGET_FILE:render-report>"
    RG_RENDER_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/render"
    RG_PIPELINE_LOCALE_DIR="${pipeline_locale}")
add_dependencies(test_render-report render-report pipeline_catalogs)

rg_add_test(test_CsvTable SOURCES test_CsvTable.cpp ${PROJECT_SOURCE_DIR}/tools/CsvTable.cpp)
target_include_directories(test_CsvTable PRIVATE ${PROJECT_SOURCE_DIR}/tools)
