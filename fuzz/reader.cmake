# Fuzz target for the shortcut reader. Included from fuzz/CMakeLists.txt (VORLAN_FUZZ=ON).
#   fuzz-build/bin/reader_fuzz -max_len=70000 -max_total_time=300 fuzz/corpus/reader
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_executable(reader_fuzz ${CMAKE_CURRENT_LIST_DIR}/reader_fuzz.cpp)
  target_compile_options(reader_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(reader_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(reader_fuzz PRIVATE vorlan_reader)
else()
  message(WARNING "reader_fuzz needs clang; not built")
endif()
