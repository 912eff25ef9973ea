# Log lines name their source file by its path without extension, relative to the
# source tree ("ReportGenerator/src/main"), whatever the build directory is. A source
# whose RG_LOG_NAME property is set logs under that name instead.
function(rg_name_log_sources target)
    get_target_property(sources ${target} SOURCES)
    foreach(source IN LISTS sources)
        get_filename_component(absolute ${source} ABSOLUTE)
        get_source_file_property(name ${absolute} DIRECTORY ${PROJECT_SOURCE_DIR} RG_LOG_NAME)
        if(NOT name)
            file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${absolute})
            string(REGEX REPLACE "\\.[^./]*$" "" name ${relative})
        endif()
        set_property(SOURCE ${absolute} DIRECTORY ${PROJECT_SOURCE_DIR}
                     APPEND PROPERTY COMPILE_DEFINITIONS "RG_LOG_SOURCE=\"${name}\"")
    endforeach()
endfunction()
