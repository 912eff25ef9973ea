# Installation, host programs and Debian packages: tests/packaging/check_packaging.sh.
# The hosts write the fixed staging page, hence the lock shared with the other tests that do.
# They link with the library's own link options, so a sanitizer build gets its runtime first.
get_directory_property(rg_host_link_flags DIRECTORY ${PROJECT_SOURCE_DIR} LINK_OPTIONS)
list(JOIN rg_host_link_flags " " rg_host_link_flags)

add_test(NAME packaging
         COMMAND ${RG_PRIVATE_TMP} ${CMAKE_CURRENT_SOURCE_DIR}/packaging/check_packaging.sh)
set_tests_properties(packaging PROPERTIES
    TIMEOUT 240
    RESOURCE_LOCK staging-page
    LABELS packaging
    ENVIRONMENT "${RG_TEST_ENVIRONMENT};CMAKE=${CMAKE_COMMAND};CPACK=${CMAKE_CPACK_COMMAND};\
CC=${CMAKE_C_COMPILER};CXX=${CMAKE_CXX_COMPILER};RG_HOST_LINK_FLAGS=${rg_host_link_flags};\
RG_EXAMPLE_DIR=${RG_EXAMPLE_DIR};RG_EXAMPLE_IMAGE_DIR=${RG_EXAMPLE_IMAGE_DIR};\
RG_EXAMPLE_LOCALE_DIR=${RG_EXAMPLE_LOCALE_DIR};RG_EXAMPLE_PACKAGE=${RG_EXAMPLE_PACKAGE}")
