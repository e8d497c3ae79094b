# Applying and undoing a tidy: 10,000 shortcut files, 2,000 proposals.
#   build/bin/tidy_bench [--files N] [--proposals P]
add_executable(tidy_bench ${CMAKE_CURRENT_LIST_DIR}/tidy_bench.cpp)
target_link_libraries(tidy_bench PRIVATE vorlan_history)
