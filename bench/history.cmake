# The check history at its bounds: 100,000 addresses with 20 results each.
#   build/bin/history_bench [--addresses N] [--rows R]
add_executable(history_bench ${CMAKE_CURRENT_LIST_DIR}/history_bench.cpp)
target_link_libraries(history_bench PRIVATE vorlan_history)
