# Log lines name their source file by its path without extension, relative to the
# source tree ("utils/Log"), whatever the build directory is. A source whose RG_LOG_NAME
# property is set logs under that name instead.
function(rg_name_log_sources target)
    get_target_property(directory ${target} SOURCE_DIR)
    get_target_property(sources ${target} SOURCES)
    foreach(source IN LISTS sources)
        get_filename_component(absolute ${source} ABSOLUTE BASE_DIR ${directory})
        get_source_file_property(name ${absolute} DIRECTORY ${directory} RG_LOG_NAME)
        if(NOT name)
            file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${absolute})
            string(REGEX REPLACE "\\.[^./]*$" "" name ${relative})
        endif()
        set_property(SOURCE ${absolute} DIRECTORY ${directory}
                     APPEND PROPERTY COMPILE_DEFINITIONS "RG_LOG_SOURCE=\"${name}\"")
    endforeach()
endfunction()
