tarvela_add_qtest(test_help_links
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/help_links_test.cpp
    LIBS tarvela_gui)
# The built help pages are checked where the program finds them.
add_dependencies(test_help_links tarvela_help)
target_compile_definitions(test_help_links PRIVATE TARVELA_HELP_DIR="${CMAKE_BINARY_DIR}/bin/help")

tarvela_add_qtest(test_help_about_box
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/about_box_test.cpp
    LIBS tarvela_gui)
# One case asks the real print module for its version.
add_dependencies(test_help_about_box PRM1)
target_compile_definitions(test_help_about_box PRIVATE TARVELA_PRM1_FILE="$<TARGET_FILE:PRM1>")
