# Fuzz target for the listing script parser. Included from fuzz/CMakeLists.txt (VORLAN_FUZZ=ON).
#   build-fuzz/bin/listing_script_fuzz -dict=fuzz/listing_script.dict -max_total_time=180 \
#     fuzz/corpus/listing_script
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_executable(listing_script_fuzz ${CMAKE_CURRENT_LIST_DIR}/listing_script_fuzz.cpp)
  set_target_properties(listing_script_fuzz PROPERTIES AUTOMOC OFF AUTORCC OFF)
  target_compile_options(listing_script_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(listing_script_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(listing_script_fuzz PRIVATE listing_core)
else()
  message(WARNING "listing_script_fuzz needs clang; not built")
endif()
