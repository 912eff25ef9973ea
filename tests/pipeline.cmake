# The report pipeline: CreateReportHtml with the tests' own small catalogs (so that their
# pages do not follow the example's wording) and the bundled example; the staging page, its
# lock and the unload hook of the built library.
set(pipeline_data ${CMAKE_CURRENT_SOURCE_DIR}/data/pipeline)
set(pipeline_locale ${CMAKE_CURRENT_BINARY_DIR}/pipeline/locale)
find_program(MSGFMT msgfmt REQUIRED)
set(pipeline_catalogs)
foreach(locale en_US fr_FR)
    set(mo ${pipeline_locale}/${locale}/LC_MESSAGES/PipelineTest.mo)
    add_custom_command(
        OUTPUT ${mo}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${pipeline_locale}/${locale}/LC_MESSAGES
        COMMAND ${MSGFMT} --check -o ${mo} ${pipeline_data}/po/${locale}.po
        DEPENDS ${pipeline_data}/po/${locale}.po
        VERBATIM)
    list(APPEND pipeline_catalogs ${mo})
endforeach()
add_custom_target(pipeline_catalogs DEPENDS ${pipeline_catalogs})

rg_add_test(test_ReportPaths SOURCES test_ReportPaths.cpp)
rg_add_test(test_StagingPageLock SOURCES test_StagingPageLock.cpp STAGING)
rg_add_test(test_CreateReportHtml SOURCES test_CreateReportHtml.cpp STAGING ENVIRONMENT TZ=UTC)
rg_add_test(test_LibraryHooks SOURCES test_LibraryHooks.cpp STAGING)
foreach(test test_CreateReportHtml test_LibraryHooks)
    target_compile_definitions(${test} PRIVATE
        RG_LIBRARY_FILE="$<TARGET_FILE:ReportGenerator::ReportGenerator>"
        RG_PIPELINE_DATA_DIR="${pipeline_data}"
        RG_PIPELINE_LOCALE_DIR="${pipeline_locale}"
        RG_PIPELINE_PACKAGE="PipelineTest")
    add_dependencies(${test} ReportGenerator pipeline_catalogs)
endforeach()
rg_use_bundled_example(test_CreateReportHtml)
