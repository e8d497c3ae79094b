vorlan_add_test(lists_test ${CMAKE_CURRENT_LIST_DIR}/lists_test.cpp)
