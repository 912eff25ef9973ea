# Installation and Debian packages for host programs.
#
# Components: Runtime (the library and its SONAME link), Development (the headers, the
# linker name, the CMake package and the pkg-config file) and Tools (render-report and its
# manual page). `cmake --install` installs all three; CPack builds one Debian package of
# each:
#     cpack --config <build>/CPackConfig.cmake -G DEB
# Configure with -DCMAKE_INSTALL_PREFIX=/usr to get Debian's multiarch library directory.
include(CMakePackageConfigHelpers)

# Installing and packaging take what is built and never start a build themselves (CPack
# would build everything first): build, then install or package.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(RG_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/ReportGenerator)
set(RG_INSTALL_PKGCONFIGDIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The CMake package and the pkg-config file ask for the Qt modules the library links.
list(JOIN RG_QT_MODULES " " RG_QT_COMPONENTS)
set(RG_PC_REQUIRES ${RG_QT_MODULES})
list(TRANSFORM RG_PC_REQUIRES PREPEND "Qt5")
list(JOIN RG_PC_REQUIRES " " RG_PC_REQUIRES)

install(TARGETS ReportGenerator EXPORT ReportGeneratorTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        COMPONENT Runtime
        NAMELINK_COMPONENT Development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ReportGenerator
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
    COMPONENT Development
    FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_BINARY_DIR}/include/ReportGenerator/reportgenerator_export.h
    ${PROJECT_BINARY_DIR}/include/ReportGenerator/reportgenerator_version.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ReportGenerator
    COMPONENT Development)

# CMake package: find_package(ReportGenerator) gives ReportGenerator::ReportGenerator.
install(EXPORT ReportGeneratorTargets
    NAMESPACE ReportGenerator::
    DESTINATION ${RG_INSTALL_CMAKEDIR}
    COMPONENT Development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ReportGeneratorConfig.cmake.in
    ${PROJECT_BINARY_DIR}/ReportGeneratorConfig.cmake
    INSTALL_DESTINATION ${RG_INSTALL_CMAKEDIR}
    NO_SET_AND_CHECK_MACRO)
# The SONAME changes with the major version, so only the same major version is compatible.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ReportGeneratorConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/ReportGeneratorConfig.cmake
    ${PROJECT_BINARY_DIR}/ReportGeneratorConfigVersion.cmake
    DESTINATION ${RG_INSTALL_CMAKEDIR}
    COMPONENT Development)

# pkg-config file: the prefix is found from the file's own place, so the installed tree
# can be moved (a staging prefix, the Debian packages).
file(RELATIVE_PATH RG_PC_PREFIX_FROM_PCFILEDIR
    ${CMAKE_INSTALL_PREFIX}/${RG_INSTALL_PKGCONFIGDIR} ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" RG_PC_PREFIX_FROM_PCFILEDIR "${RG_PC_PREFIX_FROM_PCFILEDIR}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/ReportGenerator.pc.in
    ${PROJECT_BINARY_DIR}/ReportGenerator.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/ReportGenerator.pc
    DESTINATION ${RG_INSTALL_PKGCONFIGDIR}
    COMPONENT Development)

# Debian packages
set(CPACK_PACKAGE_NAME reportgenerator)
set(CPACK_PACKAGE_VENDOR "ReportGenerator developers")
set(CPACK_PACKAGE_CONTACT "ReportGenerator developers <maintainers@users.noreply.c-seed-ee2be8bb.example>"
    CACHE STRING "Maintainer of the Debian packages")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_COMPONENTS_ALL Runtime Development Tools)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
set(CPACK_COMPONENT_TOOLS_DEPENDS Runtime)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
# The Qt runtime packages come from dpkg-shlibdeps, which reads the library's NEEDED entries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Turns the component dependency into "libreportgenerator1 (= <version>)".
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libreportgenerator${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The project description is the synopsis of both packages; these are their long texts.
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "Fills HTML report templates from the results of an optical-fibre connector end-face
inspection and prints the page to PDF, a printer or the screen. This package holds
the shared library.")
# A shlibs file (so that hosts packaged later get their dependency) and ldconfig calls.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libreportgenerator-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# The public headers include Qt headers, so hosts need Qt's development files.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "qtbase5-dev, libqt5webkit5-dev")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "This package holds what host programs in C and C++ build with: the headers, the
CMake package (find_package(ReportGenerator)) and the pkg-config file (ReportGenerator.pc).")

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME reportgenerator-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "render-report makes inspection reports from a template, the XML results and the
images of an inspection, one at a time or a whole job from a CSV file, as PDF files, on a
printer or on the screen.")
# dpkg-shlibdeps finds the library of this build here; the component dependency above
# names its package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})

include(CPack)
