list(APPEND TARVELA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/settings_file.cpp
)

# The settings dialog.
list(APPEND TARVELA_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tkonfig.cpp
)
