list(APPEND TARVELA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/codec.cpp
)

# Widgets: message boxes, the handler guard, desktop helpers.
list(APPEND TARVELA_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/message_boxes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/gui_helpers.cpp
)
