# The logger, its filter file and the exported helpers: one test per unit, with the filter
# and profile files of data/logconfig and data/profile.
foreach(unit Log LogConfig ProfileFile StringUtils Checksum BlockData Network)
    rg_add_test(test_${unit} SOURCES test_${unit}.cpp LABELS utils)
    target_compile_definitions(test_${unit} PRIVATE RG_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
endforeach()
