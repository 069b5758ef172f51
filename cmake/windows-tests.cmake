# Windows-side tests, run under Wine. Both builds run their unit and Win32-layer tests, and
# both have the end-to-end helpers and the fault build: the end-to-end tests drive the
# shipped 32-bit build, or the 64-bit one on a machine whose kernel runs no 32-bit programs.
enable_testing()

# The portable unit tests, built for Windows from GoogleTest's sources, run under Wine.
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  file(GLOB UNIT_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/*.cpp)
  add_executable(unit_tests ${UNIT_TESTS})
  target_include_directories(unit_tests PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(unit_tests PRIVATE velmora_core picdll_core gtest_main)
  target_link_options(unit_tests PRIVATE ${VELMORA_STATIC_RUNTIME})
  target_compile_definitions(unit_tests PRIVATE
    VELMORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VELMORA_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
  add_test(NAME unit_tests_under_wine COMMAND unit_tests)
  # 77: the 32-bit build's tests on a kernel that runs no 32-bit programs (wine-run.sh).
  set_tests_properties(unit_tests_under_wine PROPERTIES LABELS wine TIMEOUT 600 SKIP_RETURN_CODE 77)
endif()

# Tests of the Win32 layer itself, against the platform (under Wine here).
file(GLOB WINDOWS_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/windows/*.cpp)
add_executable(windows_tests ${WINDOWS_TESTS} resources/velmora.rc)
target_link_libraries(windows_tests PRIVATE velmora_win32 gtest_main)
target_link_options(windows_tests PRIVATE ${VELMORA_STATIC_RUNTIME})
set_target_properties(windows_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/windows-tests)
add_custom_command(TARGET windows_tests POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:picdll> ${CMAKE_BINARY_DIR}/windows-tests/)
velmora_warnings(windows_tests)
add_test(NAME windows_tests_under_wine COMMAND windows_tests)
set_tests_properties(windows_tests_under_wine PROPERTIES LABELS wine TIMEOUT 600 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)

# Helpers for the end-to-end tests: a probe program, a stand-in password library and a
# library that counts the saver's objects from inside its process.
file(GLOB HELPERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/wine/helpers/*_win32.cpp)
foreach(src ${HELPERS})
  get_filename_component(name ${src} NAME_WE)
  string(REPLACE "_win32" "" name ${name})
  if(name STREQUAL "password_cpl")
    add_library(${name} SHARED ${src})
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME PASSWORD SUFFIX .CPL)
    target_link_options(${name} PRIVATE ${VELMORA_STATIC_RUNTIME} -Wl,--kill-at)
  elseif(name STREQUAL "census")
    add_library(${name} SHARED ${src})
    set_target_properties(${name} PROPERTIES PREFIX "")
    # The hook is found by its plain name, not the 32-bit decorated one.
    target_link_options(${name} PRIVATE ${VELMORA_STATIC_RUNTIME} -Wl,--kill-at)
  else()
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE velmora_win32 psapi)
    add_custom_command(TARGET ${name} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:picdll> ${CMAKE_BINARY_DIR}/test-helpers/)
    target_link_options(${name} PRIVATE ${VELMORA_STATIC_RUNTIME})
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  velmora_warnings(${name})
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-helpers
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/test-helpers)
endforeach()

# Fault builds of the saver and its library (in fault-build/): each allocation of a picture
# change can be made to fail, named by VELMORA_FAIL_ALLOCATION, for test_memory_faults.py.
# Only the files with such allocations are compiled again; the rest comes from the release
# libraries.
set(FAULT_SEAM tests/wine/fault_build/allocation_faults_win32.cpp)
add_library(picdll_faults SHARED picdll/picdll_win32.cpp ${FAULT_SEAM} ${CMAKE_BINARY_DIR}/picdll.def
  picdll/version.rc)
target_link_libraries(picdll_faults PRIVATE picdll_core gdi32 user32 kernel32)
add_executable(velmora_faults WIN32 saver/program_entry_win32.cpp pictures/loading_win32.cpp
  pictures/order.cpp ${FAULT_SEAM} resources/velmora.rc)
target_link_libraries(velmora_faults PRIVATE velmora_win32)
target_link_options(velmora_faults PRIVATE -Wl,--kill-at)
set_target_properties(velmora_faults PROPERTIES OUTPUT_NAME Velmora SUFFIX .scr)
set_target_properties(picdll_faults PROPERTIES PREFIX "" OUTPUT_NAME picdll)
foreach(target picdll_faults velmora_faults)
  target_compile_definitions(${target} PRIVATE VELMORA_ALLOCATION_FAULTS)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_options(${target} PRIVATE ${VELMORA_STATIC_RUNTIME})
  velmora_warnings(${target})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fault-build
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fault-build)
endforeach()
