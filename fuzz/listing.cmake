# Fuzz target for the listing script parser.
#   fuzz-build/bin/listing_script_fuzz -dict=fuzz/listing_script.dict -max_total_time=180 \
#     fuzz/corpus/listing_script
vorlan_add_fuzzer(listing_script_fuzz ${CMAKE_CURRENT_LIST_DIR}/listing_script_fuzz.cpp
  LIBS listing_core)
set_target_properties(listing_script_fuzz PROPERTIES AUTOMOC OFF AUTORCC OFF)
