tarvela_add_gtest(test_settings_file
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/settings_file_test.cpp
    LIBS tarvela_core)
tarvela_add_qtest(test_settings_tkonfig
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tkonfig_test.cpp
    LIBS tarvela_gui)
tarvela_add_qtest(test_settings_tkonfig_window
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tkonfig_window_test.cpp
    LIBS tarvela_gui)
