tarvela_add_qtest(test_app_thlavni
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/thlavni_test.cpp
    LIBS tarvela_gui)
tarvela_add_qtest(test_app_message_boxes
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/message_boxes_test.cpp
    LIBS tarvela_gui)
