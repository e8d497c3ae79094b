# Tests of the listing runner (tools/listing). Included from tests/CMakeLists.txt.
include(GoogleTest)
add_executable(listing_test ${CMAKE_CURRENT_LIST_DIR}/listing_test.cpp)
set_target_properties(listing_test PROPERTIES AUTOMOC OFF AUTORCC OFF)
target_link_libraries(listing_test PRIVATE listing_core GTest::gtest_main)
gtest_discover_tests(listing_test DISCOVERY_MODE PRE_TEST)
