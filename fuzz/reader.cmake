# Fuzz target for the shortcut reader.
#   fuzz-build/bin/reader_fuzz -max_len=70000 -max_total_time=300 fuzz/corpus/reader
vorlan_add_fuzzer(reader_fuzz ${CMAKE_CURRENT_LIST_DIR}/reader_fuzz.cpp LIBS vorlan_shortcuts)
