# Benchmark of the link check run against a local latency server. Included from
# bench/CMakeLists.txt; not a test.
add_executable(linkcheck_bench ${CMAKE_CURRENT_LIST_DIR}/linkcheck_bench.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LatencyServer.cpp)
target_link_libraries(linkcheck_bench PRIVATE vorlan_app vorlan_linkcheck PkgConfig::HTTPLIB)
