tarvela_add_gtest(test_text_codec SOURCES ${CMAKE_CURRENT_LIST_DIR}/codec_test.cpp LIBS tarvela_core)
tarvela_add_gtest(test_text_layer
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/amount_text_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/amount_words_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/dates_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/helpers_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/key_filters_test.cpp
    LIBS tarvela_core)
