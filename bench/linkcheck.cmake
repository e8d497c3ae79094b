# Benchmarks of the link check run against a local latency server: its speed, and its memory
# over a long run (soak). Included from bench/CMakeLists.txt; not tests.
add_library(vorlan_checkrun_bench STATIC ${CMAKE_CURRENT_LIST_DIR}/CheckRunSetup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LatencyServer.cpp ${CMAKE_CURRENT_LIST_DIR}/AnswerLoop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ServerSocket.cpp)
target_include_directories(vorlan_checkrun_bench PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(vorlan_checkrun_bench PUBLIC vorlan_app vorlan_linkcheck OpenSSL::SSL)

add_executable(linkcheck_bench ${CMAKE_CURRENT_LIST_DIR}/linkcheck_bench.cpp)
target_link_libraries(linkcheck_bench PRIVATE vorlan_checkrun_bench)

# The check without a window, timed as a child process.
add_executable(headless_bench ${CMAKE_CURRENT_LIST_DIR}/headless_bench.cpp)
target_link_libraries(headless_bench PRIVATE vorlan_checkrun_bench)
target_compile_definitions(headless_bench PRIVATE VORLAN_EXE="$<TARGET_FILE:Vorlan>")
add_dependencies(headless_bench Vorlan)
