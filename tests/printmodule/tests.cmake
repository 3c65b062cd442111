# The print module: its engine's parts, every template rendered through the loaded module, and
# the program side that loads it.
set(PRM1_TEST_DEFINITIONS
    PRM1_LIBRARY_PATH="$<TARGET_FILE:PRM1>"
    PRM1_TEMPLATE_DIR="${CMAKE_BINARY_DIR}/bin/Ses")

add_library(prm1_test_support STATIC ${CMAKE_CURRENT_LIST_DIR}/prm1_test_support.cpp)
target_link_libraries(prm1_test_support PUBLIC tarvela_test_support Qt6::Core)
target_compile_definitions(prm1_test_support PRIVATE ${PRM1_TEST_DEFINITIONS})
add_dependencies(prm1_test_support PRM1)

tarvela_add_gtest(test_prm1_engine
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/engine_test.cpp
    LIBS prm1_engine)

tarvela_add_qtest(test_prm1_templates
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/templates_test.cpp
    LIBS prm1_test_support Qt6::Widgets Qt6::PrintSupport)

# A library named like the module but without its entry points, in a folder of its own.
add_library(prm1_without_entries SHARED ${CMAKE_CURRENT_LIST_DIR}/module_without_entries.cpp)
set_target_properties(prm1_without_entries PROPERTIES
    OUTPUT_NAME PRM1
    CXX_VISIBILITY_PRESET hidden
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/without_entries)

tarvela_add_qtest(test_print_module
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/print_module_test.cpp
    LIBS tarvela_gui prm1_test_support)
target_compile_definitions(test_print_module PRIVATE ${PRM1_TEST_DEFINITIONS}
    PRM1_WITHOUT_ENTRIES_PATH="$<TARGET_FILE:prm1_without_entries>")
add_dependencies(test_print_module prm1_without_entries)
