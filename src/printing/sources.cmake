# Widget-free: print variables, data sets (and their C form for the module), documents, QR
# payment text, overview.
list(APPEND TARVELA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/report_data_set.cpp
    ${CMAKE_CURRENT_LIST_DIR}/print_variables.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invoice_documents.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qr_payment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cash_receipt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/period_overview.cpp
    ${CMAKE_CURRENT_LIST_DIR}/module_data_set.cpp
)

# The program side of the print module: loading PRM1 and handing reports to it.
list(APPEND TARVELA_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/print_module.cpp
)
