list(APPEND TARVELA_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/application.cpp
    ${CMAKE_CURRENT_LIST_DIR}/images.cpp
    ${CMAKE_CURRENT_LIST_DIR}/thlavni.cpp
    ${CMAKE_CURRENT_LIST_DIR}/thlavni_lifecycle.cpp
    ${CMAKE_CURRENT_LIST_DIR}/thlavni_grid.cpp
    ${CMAKE_CURRENT_LIST_DIR}/thlavni_pickers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/thlavni_print.cpp
    ${CMAKE_CURRENT_LIST_DIR}/thlavni_settings.cpp
)
