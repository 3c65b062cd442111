tarvela_add_gtest(test_invoice
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/invoice_file_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/invoice_read_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/invoice_store_test.cpp
    LIBS tarvela_core)
