# Tests of the About window and its animation. Included from tests/CMakeLists.txt.
vorlan_add_test(about_test ${CMAKE_CURRENT_LIST_DIR}/about_test.cpp LIBS vorlan_about)
