# Native build: tools, unit tests, fuzzers, and the registration of the Wine tests.

if(VELMORA_FUZZ)
  # The fuzz tree holds the fuzzers alone.
  file(GLOB FUZZERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
  foreach(src ${FUZZERS})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE velmora_core picdll_core)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  endforeach()
  return()
endif()

function(velmora_tool name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE velmora_core picdll_core)
  velmora_warnings(${name})
  velmora_to_dist(${name})
endfunction()

velmora_tool(effect-trace tools/effect_trace.cpp)
velmora_tool(picdecode tools/picdecode_native.cpp tools/picdecode_main.cpp)
velmora_tool(make-artwork tools/make_artwork.cpp tools/logo_frames.cpp tools/banner.cpp
  tools/lettering.cpp tools/stroke_font.cpp tools/bmp_writer.cpp)
velmora_tool(make-samples tools/make_samples.cpp tools/sample_request.cpp tools/picture_file.cpp
  tools/scene_landscape.cpp tools/scene_night.cpp tools/scene_abstract.cpp tools/scene_geometric.cpp
  tools/procedural.cpp tools/palette_quantise.cpp tools/jpeg_writer.cpp tools/jpeg_entropy.cpp
  tools/jpeg_dct.cpp tools/jpeg_tables.cpp tools/bmp_writer.cpp)
velmora_tool(make-icon tools/make_icon.cpp tools/install_icon.cpp tools/procedural.cpp tools/bmp_writer.cpp)


enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB UNIT_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/*.cpp)
file(GLOB NATIVE_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/*.cpp)
add_executable(unit_tests ${UNIT_TESTS} ${NATIVE_TESTS})
target_include_directories(unit_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(unit_tests PRIVATE velmora_core picdll_core GTest::gtest_main)
find_package(JPEG)
if(JPEG_FOUND)
  # libjpeg-turbo is the reference our decoder is compared with, never part of the product.
  target_link_libraries(unit_tests PRIVATE JPEG::JPEG)
  target_compile_definitions(unit_tests PRIVATE VELMORA_HAVE_LIBJPEG=1)
endif()
target_compile_definitions(unit_tests PRIVATE
  VELMORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
  VELMORA_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus"
  VELMORA_TOOLS_DIR="${VELMORA_DIST_DIR}"
  VELMORA_EFFECT_TRACE="$<TARGET_FILE:effect-trace>")
# The tool's test runs the tree's own build of it, so it is built with the tests.
add_dependencies(unit_tests effect-trace)
velmora_warnings(unit_tests)
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS unit)

file(GLOB BENCHES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/bench/*.cpp)
foreach(src ${BENCHES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE velmora_core picdll_core)
  velmora_warnings(${name})
endforeach()

# End-to-end tests drive dist/win32 under Wine on a virtual display; one at a time,
# since they share the project's Wine prefix.
find_program(PYTHON3 python3)
file(GLOB WINE_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/wine/test_*.py)
foreach(src ${WINE_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_test(NAME wine.${name} COMMAND ${PYTHON3} ${src})
  set_tests_properties(wine.${name} PROPERTIES LABELS wine RUN_SERIAL TRUE
    TIMEOUT 900 SKIP_RETURN_CODE 77
    ENVIRONMENT "VELMORA_ROOT=${PROJECT_SOURCE_DIR}")
endforeach()

# The Windows builds checked without running them (the only check of the 32-bit one).
file(GLOB STATIC_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/static/test_*.py)
foreach(src ${STATIC_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_test(NAME static.${name} COMMAND ${PYTHON3} ${src})
  set_tests_properties(static.${name} PROPERTIES LABELS static
    ENVIRONMENT "VELMORA_ROOT=${PROJECT_SOURCE_DIR}")
endforeach()
