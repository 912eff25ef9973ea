# End-to-end timing programs, beside the Google Benchmark executables.
find_package(Qt5 REQUIRED COMPONENTS Widgets PrintSupport WebKitWidgets)

# A host of the library that loads it with dlopen; its own usleep times the library's pauses.
add_executable(repeat_reports ${CMAKE_CURRENT_SOURCE_DIR}/repeat_reports.cpp)
target_link_libraries(repeat_reports PRIVATE ${CMAKE_DL_LIBS})
set_target_properties(repeat_reports PROPERTIES ENABLE_EXPORTS ON)
add_dependencies(repeat_reports ReportGenerator)

# The floor: Qt WebKit alone loading and printing the same page.
add_executable(bare_webkit_print ${CMAKE_CURRENT_SOURCE_DIR}/bare_webkit_print.cpp)
target_link_libraries(bare_webkit_print PRIVATE Qt5::Widgets Qt5::PrintSupport Qt5::WebKitWidgets)
