# Benchmarks of loading the found shortcuts and of the shortcut reader. Included from
# bench/CMakeLists.txt; not tests.
add_executable(shortcut_load_bench ${CMAKE_CURRENT_LIST_DIR}/shortcut_load_bench.cpp)
target_link_libraries(shortcut_load_bench PRIVATE vorlan_app)
add_executable(shortcut_read_bench ${CMAKE_CURRENT_LIST_DIR}/shortcut_read_bench.cpp)
target_link_libraries(shortcut_read_bench PRIVATE vorlan_shortcuts)
