# Tests of suites whose name ends in "Threads" (e.g. MessageQueueThreads.*) start threads of
# their own: label them "threads" so that the ThreadSanitizer build runs them. The discovered
# names are known only once CTest has read the list gtest_discover_tests wrote, so the labels
# are set from a file CTest includes after that list.
set(_platform_labels ${CMAKE_CURRENT_BINARY_DIR}/tests_platform_labels.cmake)
file(WRITE ${_platform_labels}
  "foreach(t IN LISTS tests_platform_TESTS)\n"
  "  if(t MATCHES \"^[A-Za-z0-9_]*Threads\\\\.\")\n"
  "    set_tests_properties(\"\${t}\" PROPERTIES LABELS \"platform;threads\")\n"
  "  endif()\n"
  "endforeach()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_platform_labels})
