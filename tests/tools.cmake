# render-report, the command-line host, run as a separate program.
rg_add_test(test_render-report SOURCES test_render-report.cpp STAGING)
target_compile_definitions(test_render-report PRIVATE
    RG_RENDER_REPORT="$<TARGET_FILE:render-report>"
    RG_RENDER_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/render")
add_dependencies(test_render-report render-report)
