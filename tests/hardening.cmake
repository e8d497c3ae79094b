# Tests of hostile files taken through the whole program. Included from tests/CMakeLists.txt.
vorlan_add_test(hardening_files_test ${CMAKE_CURRENT_LIST_DIR}/hardening_files_test.cpp
  LIBS vorlan_linkcheck)
target_compile_definitions(hardening_files_test PRIVATE LISTING_EXE="$<TARGET_FILE:listing>")
add_dependencies(hardening_files_test listing)
