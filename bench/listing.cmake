# Benchmark of the listing runner against find(1). Included from bench/CMakeLists.txt; not a test.
add_executable(listing_bench ${CMAKE_CURRENT_LIST_DIR}/listing_bench.cpp)
set_target_properties(listing_bench PROPERTIES AUTOMOC OFF AUTORCC OFF)
target_compile_definitions(listing_bench PRIVATE LISTING_EXE="$<TARGET_FILE:listing>")
add_dependencies(listing_bench listing)
