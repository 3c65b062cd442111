list(APPEND TARVELA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/codec.cpp
    ${CMAKE_CURRENT_LIST_DIR}/amount_text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/amount_words.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clock.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dates.cpp
    ${CMAKE_CURRENT_LIST_DIR}/helpers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_filters.cpp
)

# Widgets: message boxes, the handler guard, desktop helpers.
list(APPEND TARVELA_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/message_boxes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gui_helpers.cpp
)
