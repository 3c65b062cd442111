# Reliability: writes that fail half-way, vanished folders, and hostile period folders that
# every reader must survive. The files are generated at run time.
tarvela_add_gtest(test_reliability
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/fault_injection_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/hostile_files_test.cpp
    LIBS tarvela_core)
# The same faults met through the main window's Save (offscreen, boxes recorded).
tarvela_add_qtest(test_reliability_window
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/save_faults_window_test.cpp
    LIBS tarvela_gui)
