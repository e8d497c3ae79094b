# Tests of the installed program: each installs the build into a temporary prefix with
# cmake --install. Included from tests/CMakeLists.txt.
vorlan_add_test(install_test ${CMAKE_CURRENT_LIST_DIR}/install_test.cpp)
target_compile_definitions(install_test PRIVATE CMAKE_COMMAND="${CMAKE_COMMAND}"
  BUILD_FOLDER="${CMAKE_BINARY_DIR}")
add_dependencies(install_test Vorlan listing vorlan_icons vorlan_gzipped)
