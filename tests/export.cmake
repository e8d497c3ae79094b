# Tests of the link list page. Included from tests/CMakeLists.txt.
vorlan_add_test(export_test ${CMAKE_CURRENT_LIST_DIR}/export_test.cpp LIBS vorlan_export)
