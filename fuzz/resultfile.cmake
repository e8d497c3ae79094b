# Fuzz target for reading a result file.
#   fuzz-build/bin/resultfile_fuzz -max_len=8192 -max_total_time=300 fuzz/corpus/resultfile
vorlan_add_fuzzer(resultfile_fuzz ${CMAKE_CURRENT_LIST_DIR}/resultfile_fuzz.cpp
  LIBS vorlan_linkcheck vorlan_export)
# Coverage feedback from the code that reads and splits the lines, fills the list, builds
# the page and answers the existence query.
foreach(library vorlan_platform vorlan_search vorlan_export)
  target_compile_options(${library} PRIVATE -fsanitize=fuzzer-no-link)
endforeach()
