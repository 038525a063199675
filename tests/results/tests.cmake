# The printing tests that use a real CUPS queue need the queue first: a setup test prepares it
# (starting the scheduler when none runs), and every discovered test of the suite CupsPrinting
# requires that fixture. The tests are discovered when CTest runs, so the fixture is attached
# by a file CTest includes after the discovered list.
add_test(NAME results_cups_queue COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/results/cups-pdf-queue.sh)
set_tests_properties(results_cups_queue PROPERTIES FIXTURES_SETUP cups_queue LABELS results TIMEOUT 120)

set(_results_cups_fixture ${CMAKE_CURRENT_BINARY_DIR}/results_cups_fixture.cmake)
file(WRITE ${_results_cups_fixture} [=[
foreach(_test IN LISTS tests_results_TESTS)
  if(_test MATCHES "^CupsPrinting\\.")
    set_tests_properties(${_test} PROPERTIES FIXTURES_REQUIRED cups_queue RESOURCE_LOCK cups_queue)
  endif()
endforeach()
]=])
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_results_cups_fixture})
