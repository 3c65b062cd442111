tarvela_add_gtest(printing_core_test
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/report_data_set_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/invoice_documents_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/qr_payment_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/cash_receipt_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/period_overview_test.cpp
    LIBS tarvela_core)

# Printing from the main window, with the print module replaced by a recorder.
tarvela_add_qtest(test_printing_thlavni
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/thlavni_print_test.cpp
    LIBS tarvela_gui)

# The same through the real print module, rendered to PDF and read back with pdftotext.
tarvela_add_qtest(test_printing_pdf
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/thlavni_print_pdf_test.cpp
    LIBS tarvela_gui prm1_test_support)
