tarvela_add_qtest(test_app_thlavni
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/thlavni_test.cpp
    LIBS tarvela_gui)
tarvela_add_qtest(test_app_message_boxes
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/message_boxes_test.cpp
    LIBS tarvela_gui)

# Pictures of the window and its menus, for checking the layout by eye (not a test).
add_executable(app_screenshots EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/screenshots.cpp)
target_link_libraries(app_screenshots PRIVATE tarvela_gui Qt6::Test)
