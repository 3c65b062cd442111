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

# Item editor, item list, pickers, date and year dialogs, the period change.
list(APPEND TARVELA_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/teditacepolozky.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tseznampolozek.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pickers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/date_dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/period_change.cpp
)
