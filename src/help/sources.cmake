list(APPEND TARVELA_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/help_links.cpp
    ${CMAKE_CURRENT_LIST_DIR}/about_box.cpp
)

include(${CMAKE_CURRENT_LIST_DIR}/help_pages.cmake)
