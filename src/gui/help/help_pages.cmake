# The help pages and the report manual, beside the program: <bin>/help in the build tree and
# help/ in the installed program folder. The report manual (sablony.html) is rendered from
# docs/templates.md when the build runs.
set(TARVELA_HELP_SOURCE_DIR ${CMAKE_SOURCE_DIR}/help)
set(TARVELA_HELP_OUTPUT_DIR ${CMAKE_BINARY_DIR}/bin/help)
set(TARVELA_TEMPLATES_DOC ${CMAKE_SOURCE_DIR}/docs/templates.md)

file(GLOB TARVELA_HELP_PAGES CONFIGURE_DEPENDS
    ${TARVELA_HELP_SOURCE_DIR}/*.html ${TARVELA_HELP_SOURCE_DIR}/*.css)

set(TARVELA_HELP_OUTPUTS)
foreach(page ${TARVELA_HELP_PAGES})
    get_filename_component(name ${page} NAME)
    add_custom_command(OUTPUT ${TARVELA_HELP_OUTPUT_DIR}/${name}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${TARVELA_HELP_OUTPUT_DIR}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${page} ${TARVELA_HELP_OUTPUT_DIR}/${name}
        DEPENDS ${page}
        COMMENT "Help page ${name}"
        VERBATIM)
    list(APPEND TARVELA_HELP_OUTPUTS ${TARVELA_HELP_OUTPUT_DIR}/${name})
endforeach()

# The manual is rendered again whenever docs/templates.md appears or changes.
set(TARVELA_MANUAL_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/render_manual.cmake)
if(EXISTS ${TARVELA_TEMPLATES_DOC})
    list(APPEND TARVELA_MANUAL_DEPENDS ${TARVELA_TEMPLATES_DOC})
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs)
add_custom_command(OUTPUT ${TARVELA_HELP_OUTPUT_DIR}/sablony.html
    COMMAND ${CMAKE_COMMAND} -DINPUT=${TARVELA_TEMPLATES_DOC}
            -DOUTPUT=${TARVELA_HELP_OUTPUT_DIR}/sablony.html
            -P ${CMAKE_CURRENT_LIST_DIR}/render_manual.cmake
    DEPENDS ${TARVELA_MANUAL_DEPENDS}
    COMMENT "Report manual sablony.html"
    VERBATIM)
list(APPEND TARVELA_HELP_OUTPUTS ${TARVELA_HELP_OUTPUT_DIR}/sablony.html)

add_custom_target(tarvela_help ALL DEPENDS ${TARVELA_HELP_OUTPUTS})

install(DIRECTORY ${TARVELA_HELP_OUTPUT_DIR}/ DESTINATION help)
