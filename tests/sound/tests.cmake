# Every sound test runs decode threads: label them "threads" too, so that the ThreadSanitizer
# build runs them. The discovered test names are only known when CTest reads the list that
# gtest_discover_tests wrote, so the labels are set from a file CTest includes after that list.
set(_sound_labels ${CMAKE_CURRENT_BINARY_DIR}/tests_sound_labels.cmake)
file(WRITE ${_sound_labels}
  "foreach(t IN LISTS tests_sound_TESTS)\n"
  "  set_tests_properties(\"\${t}\" PROPERTIES LABELS \"sound;threads\" TIMEOUT 120)\n"
  "endforeach()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_sound_labels})

# The tests make their own sounds and call libvorbis directly (vorbisenc alone does not bring it).
pkg_check_modules(SOUND_TEST_VORBIS REQUIRED IMPORTED_TARGET vorbis)
target_link_libraries(tests_sound PRIVATE PkgConfig::SOUND_TEST_VORBIS)
