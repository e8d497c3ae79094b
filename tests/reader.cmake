# Tests of the result-file loading, the shortcut reader and the detail view.
vorlan_add_test(reader_test ${CMAKE_CURRENT_LIST_DIR}/reader_test.cpp)
