# Language table, text domain and catalog reader. The test catalogs are compiled from the
# .po files in data/localisation by the real msgfmt at build time, some straight into a
# catalog tree <code>/LC_MESSAGES/<package>.mo.
find_program(MSGFMT msgfmt REQUIRED)

set(rg_catalog_dir ${CMAKE_CURRENT_BINARY_DIR}/localisation)
set(rg_other_byte_order $<IF:$<STREQUAL:${CMAKE_CXX_BYTE_ORDER},BIG_ENDIAN>,little,big>)

file(MAKE_DIRECTORY ${rg_catalog_dir}/fr_FR/LC_MESSAGES ${rg_catalog_dir}/de_DE/LC_MESSAGES
    ${rg_catalog_dir}/en_US/LC_MESSAGES)
set(rg_catalogs)
# <output> under the catalog directory from data/localisation/<po>.po, with msgfmt options.
function(rg_test_catalog output po)
    set(source ${CMAKE_CURRENT_SOURCE_DIR}/data/localisation/${po}.po)
    add_custom_command(OUTPUT ${rg_catalog_dir}/${output}
        COMMAND ${MSGFMT} ${ARGN} -o ${rg_catalog_dir}/${output} ${source}
        DEPENDS ${source} VERBATIM)
    set(rg_catalogs ${rg_catalogs} ${rg_catalog_dir}/${output} PARENT_SCOPE)
endfunction()
rg_test_catalog(report-fr.mo report-fr)
rg_test_catalog(report-fr-no-hash.mo report-fr --no-hash)
rg_test_catalog(report-fr-swapped.mo report-fr --endianness=${rg_other_byte_order})
rg_test_catalog(many-labels.mo many-labels)
rg_test_catalog(many-labels-swapped.mo many-labels --endianness=${rg_other_byte_order})
rg_test_catalog(fr_FR/LC_MESSAGES/Labels.mo report-fr)
rg_test_catalog(de_DE/LC_MESSAGES/Labels.mo report-de)
rg_test_catalog(en_US/LC_MESSAGES/Labels.mo report-en)
rg_test_catalog(fr_FR/LC_MESSAGES/Long.mo long-words)
add_custom_target(localisation_test_catalogs DEPENDS ${rg_catalogs})

foreach(test test_Languages test_TextDomain test_ReadMoFile)
    rg_add_test(${test} SOURCES ${test}.cpp LABELS localisation)
    target_compile_definitions(${test} PRIVATE RG_CATALOG_DIR="${rg_catalog_dir}"
        RG_PO_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data/localisation")
    add_dependencies(${test} localisation_test_catalogs)
endforeach()
