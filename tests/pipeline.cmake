# The report pipeline: path buffers of a report call.
rg_add_test(test_ReportPaths SOURCES test_ReportPaths.cpp)
