# Suites whose name ends in "Threads" (GameSoundThreads.*) play sounds, whose streams run
# decode threads: label them "threads" so that the ThreadSanitizer build runs them. The
# discovered names are known only once CTest has read the list gtest_discover_tests wrote.
set(_game_labels ${CMAKE_CURRENT_BINARY_DIR}/tests_game_labels.cmake)
file(WRITE ${_game_labels}
  "foreach(t IN LISTS tests_game_TESTS)\n"
  "  if(t MATCHES \"^[A-Za-z0-9_]*Threads\\\\.\")\n"
  "    set_tests_properties(\"\${t}\" PROPERTIES LABELS \"game;threads\")\n"
  "  endif()\n"
  "endforeach()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_game_labels})
