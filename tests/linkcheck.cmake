# Tests of the transfer component, the link check run, the results panel, page download and
# header export, and of the run against hostile servers and interfering commands. Included
# from tests/CMakeLists.txt.
find_package(ZLIB REQUIRED)
set(check_run_fixture ${CMAKE_CURRENT_LIST_DIR}/support/CheckRunFixture.cpp)
vorlan_add_test(internet_transfer_test ${CMAKE_CURRENT_LIST_DIR}/internet_transfer_test.cpp)
vorlan_add_test(engine_test ${CMAKE_CURRENT_LIST_DIR}/engine_test.cpp LIBS vorlan_checkengine
  ZLIB::ZLIB)
vorlan_add_test(linkcheck_test ${CMAKE_CURRENT_LIST_DIR}/linkcheck_test.cpp ${check_run_fixture}
  LIBS vorlan_linkcheck)
