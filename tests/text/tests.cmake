tarvela_add_gtest(test_text_codec SOURCES ${CMAKE_CURRENT_LIST_DIR}/codec_test.cpp LIBS tarvela_core)
