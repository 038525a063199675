# Tests of suites whose name ends in "Threads" (e.g. LoopThreads.*) start threads of
# their own: label them "threads" so that the ThreadSanitizer build runs them. The discovered
# names are known only once CTest has read the list gtest_discover_tests wrote, so the labels
# are set from a file CTest includes after that list.
set(_framework_labels ${CMAKE_CURRENT_BINARY_DIR}/tests_framework_labels.cmake)
file(WRITE ${_framework_labels}
  "foreach(t IN LISTS tests_framework_TESTS)\n"
  "  if(t MATCHES \"^[A-Za-z0-9_]*Threads\\\\.\")\n"
  "    set_tests_properties(\"\${t}\" PROPERTIES LABELS \"framework;threads\")\n"
  "  endif()\n"
  "endforeach()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_framework_labels})
