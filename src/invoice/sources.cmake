list(APPEND TARVELA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/invoice_record.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invoice_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_lines.cpp
    ${CMAKE_CURRENT_LIST_DIR}/invoice_store.cpp
)
