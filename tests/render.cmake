# The renderer and the render entry points, on real output read back with poppler's tools.
# Every test here uses the staging page.
find_program(RG_XVFB_RUN xvfb-run REQUIRED)

# A host without Qt of its own that loads and unloads the library with dlopen.
add_executable(render_dlopen_host render_dlopen_host.c)
target_link_libraries(render_dlopen_host PRIVATE ${CMAKE_DL_LIBS})

rg_add_test(test_RenderReport SOURCES test_RenderReport.cpp STAGING)
target_compile_definitions(test_RenderReport PRIVATE
    RG_RENDER_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data/render"
    RG_DLOPEN_HOST="$<TARGET_FILE:render_dlopen_host>"
    RG_LIBRARY="$<TARGET_FILE:ReportGenerator::ReportGenerator>")
add_dependencies(test_RenderReport render_dlopen_host ReportGenerator)

rg_add_test(test_RenderEntryPoints SOURCES test_RenderEntryPoints.cpp STAGING)
rg_use_bundled_example(test_RenderEntryPoints)

# The renderer again on a real X server, where Qt takes its xcb platform. Under a sanitizer:
# libxkbcommon-x11, which the xcb platform loads, hands strndup a reply buffer without a
# terminating zero (the strict string check stays on for the offscreen run), and the X and
# D-Bus libraries lack frame pointers, so leaks inside Qt are only attributed to Qt's
# libraries, as the suppressions need, with full unwinding.
set(rg_xcb_environment ${RG_TEST_ENVIRONMENT})
list(FILTER rg_xcb_environment EXCLUDE REGEX "^QT_QPA_PLATFORM=")
list(TRANSFORM rg_xcb_environment REPLACE ":strict_string_checks=1" ":fast_unwind_on_malloc=0")
add_test(NAME test_RenderReport_xvfb
         COMMAND ${RG_PRIVATE_TMP} ${RG_XVFB_RUN} -a $<TARGET_FILE:test_RenderReport>)
set_tests_properties(test_RenderReport_xvfb PROPERTIES
    TIMEOUT 120
    ENVIRONMENT "${rg_xcb_environment}"
    ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=unset:"
    RESOURCE_LOCK staging-page)
