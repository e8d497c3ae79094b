# Benchmark of the link list page. Included from bench/CMakeLists.txt; not a test.
add_executable(export_bench ${CMAKE_CURRENT_LIST_DIR}/export_bench.cpp)
target_link_libraries(export_bench PRIVATE vorlan_export)
