# Language table, text domain and catalog reader. The catalogs under test are compiled
# from the .po sources in data/localisation by the real msgfmt at build time; the tests
# derive every other case (byte order, broken files) from that output.
find_program(MSGFMT msgfmt REQUIRED)

set(rg_catalog_sources ${CMAKE_CURRENT_SOURCE_DIR}/data/localisation)
set(rg_catalog_dir ${CMAKE_CURRENT_BINARY_DIR}/localisation)
if(CMAKE_CXX_BYTE_ORDER STREQUAL "BIG_ENDIAN")
    set(rg_foreign_byte_order little)
else()
    set(rg_foreign_byte_order big)
endif()

set(rg_catalogs)
foreach(name report-fr report-de report-en many-labels)
    set(po ${rg_catalog_sources}/${name}.po)
    set(outputs ${rg_catalog_dir}/${name}.mo ${rg_catalog_dir}/${name}-no-hash.mo
                ${rg_catalog_dir}/${name}-${rg_foreign_byte_order}.mo)
    add_custom_command(
        OUTPUT ${outputs}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${rg_catalog_dir}
        COMMAND ${MSGFMT} -o ${rg_catalog_dir}/${name}.mo ${po}
        COMMAND ${MSGFMT} --no-hash -o ${rg_catalog_dir}/${name}-no-hash.mo ${po}
        COMMAND ${MSGFMT} --endianness=${rg_foreign_byte_order}
                -o ${rg_catalog_dir}/${name}-${rg_foreign_byte_order}.mo ${po}
        DEPENDS ${po}
        COMMENT "Compiling the test catalog ${name}"
        VERBATIM)
    list(APPEND rg_catalogs ${outputs})
endforeach()
add_custom_target(localisation_test_catalogs DEPENDS ${rg_catalogs})

rg_add_test(test_Languages SOURCES test_Languages.cpp LABELS localisation)
rg_add_test(test_TextDomain SOURCES test_TextDomain.cpp LABELS localisation)
rg_add_test(test_ReadMoFile SOURCES test_ReadMoFile.cpp MoCatalog.cpp
            LABELS localisation)
foreach(test test_TextDomain test_ReadMoFile)
    target_compile_definitions(${test} PRIVATE RG_CATALOG_DIR="${rg_catalog_dir}")
    add_dependencies(${test} localisation_test_catalogs)
endforeach()
target_compile_definitions(test_ReadMoFile PRIVATE
                           RG_FOREIGN_BYTE_ORDER="${rg_foreign_byte_order}")
