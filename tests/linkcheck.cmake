# Tests of the transfer component, the check engine, and of what the window shows of a run.
# Included from tests/CMakeLists.txt.
vorlan_add_test(internet_transfer_test ${CMAKE_CURRENT_LIST_DIR}/internet_transfer_test.cpp)
vorlan_add_test(engine_test ${CMAKE_CURRENT_LIST_DIR}/engine_test.cpp LIBS vorlan_checkengine)
vorlan_add_test(linkcheck_test ${CMAKE_CURRENT_LIST_DIR}/linkcheck_test.cpp LIBS vorlan_linkcheck)
