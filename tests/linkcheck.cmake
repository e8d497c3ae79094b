# Tests of the transfer component, the link check run, the results panel, page download and
# header export. Included from tests/CMakeLists.txt.
vorlan_add_test(internet_transfer_test ${CMAKE_CURRENT_LIST_DIR}/internet_transfer_test.cpp)
vorlan_add_test(linkcheck_test ${CMAKE_CURRENT_LIST_DIR}/linkcheck_test.cpp LIBS vorlan_linkcheck)
