tarvela_add_gtest(test_editor_row_amounts
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/row_amounts_test.cpp
    LIBS tarvela_core)
tarvela_add_gtest(test_editor_invoice_list
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/invoice_list_test.cpp
    LIBS tarvela_core)
tarvela_add_qtest(test_editor_totevrit
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/totevrit_test.cpp
    LIBS tarvela_gui)
tarvela_add_gtest(test_editor_item_catalog
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/item_catalog_test.cpp
    LIBS tarvela_core)
tarvela_add_gtest(test_editor_pickers_files
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/pickers_files_test.cpp
    LIBS tarvela_core)
tarvela_add_qtest(test_editor_dialogs_item_editor
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_dialogs_item_editor_test.cpp
    LIBS tarvela_gui)
tarvela_add_qtest(test_editor_thlavni_lifecycle
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/thlavni_lifecycle_test.cpp
    LIBS tarvela_gui)
tarvela_add_qtest(test_editor_thlavni_grid
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/thlavni_grid_test.cpp
    LIBS tarvela_gui)
tarvela_add_qtest(test_editor_dialogs_item_list
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_dialogs_item_list_test.cpp
    LIBS tarvela_gui)
tarvela_add_qtest(test_editor_dialogs_date_year
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_dialogs_date_year_test.cpp
    LIBS tarvela_gui)
tarvela_add_qtest(test_editor_pickers_window
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/pickers_window_test.cpp
    LIBS tarvela_gui)
tarvela_add_qtest(test_editor_period_change
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/period_change_test.cpp
    LIBS tarvela_gui)
