# Soak benchmark: memory of a long link check run. Included from bench/CMakeLists.txt after
# linkcheck.cmake, whose support library it shares; not a test.
add_executable(soak_bench ${CMAKE_CURRENT_LIST_DIR}/soak_bench.cpp)
target_link_libraries(soak_bench PRIVATE vorlan_checkrun_bench)
