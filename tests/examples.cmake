# The bundled example: catalogs against the template, sample XML, drawn images.
if(TARGET example_catalogs AND TARGET example_images)
    rg_add_test(test_ExampleCatalogs SOURCES test_ExampleCatalogs.cpp)
    target_compile_definitions(test_ExampleCatalogs PRIVATE
        RG_EXAMPLE_DIR="${RG_EXAMPLE_DIR}"
        RG_EXAMPLE_IMAGE_DIR="${RG_EXAMPLE_IMAGE_DIR}"
        RG_EXAMPLE_LOCALE_DIR="${RG_EXAMPLE_LOCALE_DIR}"
        RG_EXAMPLE_PACKAGE="${RG_EXAMPLE_PACKAGE}"
        RG_MSGFMT="${MSGFMT}")
    # The test reads what these targets produce.
    add_dependencies(test_ExampleCatalogs example_catalogs example_images)
endif()
