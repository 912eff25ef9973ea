# The logger, its filter file and the exported helpers: one test per unit. Fixtures are in
# data/utils.
add_library(rg_utils_test_support STATIC
    utils/UtilsTestHelpers.cpp)
target_include_directories(rg_utils_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
foreach(unit Log LogConfig ProfileFile StringUtils Checksum BlockData Network)
    rg_add_test(test_${unit} SOURCES test_${unit}.cpp LIBS rg_utils_test_support LABELS utils)
endforeach()
