# rg_add_test(<name> SOURCES <files...> [LIBS <targets...>] [STAGING] [TIMEOUT <s>]
#             [ENVIRONMENT <VAR=value...>] [LABELS <labels...>])
#
# Builds a GoogleTest executable <name> from SOURCES, linked with the library's objects
# (so internal code is reachable), GoogleTest/GoogleMock and LIBS, and registers it with
# CTest under the same name. Every test runs headless with pinned font metrics and a
# private runtime directory. STAGING marks a test that uses the fixed staging page: it runs
# with a /tmp of its own (as root) and never in parallel with the other such tests.
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

set(RG_PRIVATE_TMP ${PROJECT_SOURCE_DIR}/scripts/private-tmp --keep ${PROJECT_BINARY_DIR})

set(RG_TEST_RUNTIME_DIR ${PROJECT_BINARY_DIR}/test-runtime)
file(MAKE_DIRECTORY ${RG_TEST_RUNTIME_DIR})
file(CHMOD ${RG_TEST_RUNTIME_DIR} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

set(RG_TEST_ENVIRONMENT
    QT_QPA_PLATFORM=offscreen
    QT_FONT_DPI=96
    XDG_RUNTIME_DIR=${RG_TEST_RUNTIME_DIR}
    RG_SOURCE_DIR=${PROJECT_SOURCE_DIR}
    RG_BINARY_DIR=${PROJECT_BINARY_DIR}
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
if(RG_SANITIZE)
    # Each test's own limit (tests/support/TestMain.cpp), for the slower instrumented code.
    list(APPEND RG_TEST_ENVIRONMENT RG_TEST_LIMIT_S=60)
endif()

# What the tests share: temporary directories, files, standard error, child processes, PDFs.
add_library(rg_test_support STATIC
    ${PROJECT_SOURCE_DIR}/tests/support/CapturedStderr.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/ChildProcess.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/Files.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/LockHolder.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/PdfProbe.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/PoCatalog.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/TempDir.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/TestMain.cpp)
target_include_directories(rg_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(rg_test_support PUBLIC Qt5::Core Qt5::Gui GTest::gtest)

function(rg_add_test name)
    cmake_parse_arguments(arg "STAGING" "TIMEOUT" "SOURCES;LIBS;ENVIRONMENT;LABELS" ${ARGN})
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE rg_objects rg_test_support GTest::gtest GTest::gmock
                          Threads::Threads ${CMAKE_DL_LIBS} ${arg_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    if(arg_STAGING)
        add_test(NAME ${name} COMMAND ${RG_PRIVATE_TMP} $<TARGET_FILE:${name}>)
    else()
        add_test(NAME ${name} COMMAND ${name})
    endif()
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT 120)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${arg_TIMEOUT}
        ENVIRONMENT "${RG_TEST_ENVIRONMENT};${arg_ENVIRONMENT}"
        LABELS "${arg_LABELS}")
    if(arg_STAGING)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK staging-page)
    endif()
endfunction()

# Gives a test the bundled example's files: RG_EXAMPLE_DIR, _IMAGE_DIR, _LOCALE_DIR, _PACKAGE.
function(rg_use_bundled_example target)
    target_compile_definitions(${target} PRIVATE
        RG_EXAMPLE_DIR="${RG_EXAMPLE_DIR}"
        RG_EXAMPLE_IMAGE_DIR="${RG_EXAMPLE_IMAGE_DIR}"
        RG_EXAMPLE_LOCALE_DIR="${RG_EXAMPLE_LOCALE_DIR}"
        RG_EXAMPLE_PACKAGE="${RG_EXAMPLE_PACKAGE}")
    add_dependencies(${target} example_images example_catalogs)
endfunction()
