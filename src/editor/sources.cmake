list(APPEND TARVELA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/row_amounts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invoice_list.cpp
)

list(APPEND TARVELA_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/totevrit.cpp
)

# Item list, pickers and the period change: file reading in the core.
list(APPEND TARVELA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/item_catalog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/picker_files.cpp
)
