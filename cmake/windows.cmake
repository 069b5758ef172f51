# The Windows deliverables: picdll.dll, Velmora.scr and the Windows-side tools and tests.

set(VELMORA_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

# --- picdll.dll -----------------------------------------------------------------------
# Exported by name and by ordinal, in this order; the number is the stdcall argument size
# on i686, where the linker sees decorated names. Other programs may import by ordinal:
# new exports go at the end.
set(PICDLL_EXPORTS
  PicDLLInitDLL:4 PicDLLSetJPGErrorMsgBox:4 PicDLLSetCallback:4
  PicDLLGetJPGDimensions:12 PicDLLGetBMPDimensions:12
  PicDLLReadRGBFromJPG:12 PicDLLReadRGBFromBMP:12 PicDLLGetLastError:0
  PicDLLResizeRGB2:24 PicDLLQuantizeRGBTo8Bit:24 PicDLLRGBToHBITMAP:16
  PicDLLGetJPGDimensionsW:12 PicDLLGetBMPDimensionsW:12
  PicDLLReadRGBFromJPGW:12 PicDLLReadRGBFromBMPW:12
  PicDLLReadScaledRGBFromJPGW:24 PicDLLResizeReducedRGB:28)

set(dll_def "LIBRARY picdll.dll\nEXPORTS\n")
set(import_def "LIBRARY picdll.dll\nEXPORTS\n")
set(ordinal 1)
foreach(entry ${PICDLL_EXPORTS})
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 name)
  list(GET parts 1 bytes)
  if(VELMORA_ARCH STREQUAL "win32")
    string(APPEND dll_def "  ${name} = ${name}@${bytes} @${ordinal}\n")
    string(APPEND import_def "  ${name}@${bytes} @${ordinal} NONAME\n")
  else()
    string(APPEND dll_def "  ${name} @${ordinal}\n")
    string(APPEND import_def "  ${name} @${ordinal} NONAME\n")
  endif()
  math(EXPR ordinal "${ordinal} + 1")
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/picdll.def "${dll_def}")
file(WRITE ${CMAKE_BINARY_DIR}/picdll_ordinals.def "${import_def}")

velmora_win32_sources(PICDLL_WIN32_SOURCES picdll)
add_library(picdll SHARED ${PICDLL_WIN32_SOURCES} ${CMAKE_BINARY_DIR}/picdll.def picdll/version.rc)
set_target_properties(picdll PROPERTIES PREFIX "" OUTPUT_NAME picdll)
target_link_libraries(picdll PRIVATE picdll_core gdi32 user32 kernel32)
target_link_options(picdll PRIVATE ${VELMORA_STATIC_RUNTIME})
velmora_warnings(picdll)
velmora_to_dist(picdll)
set_target_properties(picdll PROPERTIES ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The saver imports the library by ordinal, through an import library of its own.
set(PICDLL_ORDINAL_LIB ${CMAKE_BINARY_DIR}/libpicdll_ordinals.a)
add_custom_command(OUTPUT ${PICDLL_ORDINAL_LIB}
  COMMAND ${CMAKE_DLLTOOL} -d ${CMAKE_BINARY_DIR}/picdll_ordinals.def -l ${PICDLL_ORDINAL_LIB}
  DEPENDS ${CMAKE_BINARY_DIR}/picdll_ordinals.def)
add_custom_target(picdll_ordinals DEPENDS ${PICDLL_ORDINAL_LIB})
add_library(picdll_by_ordinal STATIC IMPORTED)
set_target_properties(picdll_by_ordinal PROPERTIES IMPORTED_LOCATION ${PICDLL_ORDINAL_LIB})
add_dependencies(picdll_by_ordinal picdll_ordinals)

# --- Velmora.scr ----------------------------------------------------------------------
# Everything but the program entry sits in a library, which the Windows tests link too.
velmora_win32_sources(SAVER_WIN32_SOURCES base saver pictures effects config)
list(FILTER SAVER_WIN32_SOURCES EXCLUDE REGEX "program_entry_win32\\.cpp$")
add_library(velmora_win32 STATIC ${SAVER_WIN32_SOURCES})
target_include_directories(velmora_win32 PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(velmora_win32 PUBLIC velmora_core picdll_by_ordinal
  gdi32 user32 advapi32 shell32 ole32 comctl32)
add_dependencies(velmora_win32 picdll_ordinals)
velmora_warnings(velmora_win32)

add_executable(velmora WIN32 saver/program_entry_win32.cpp resources/velmora.rc)
file(GLOB ARTWORK CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/bitmaps/*.bmp
  ${PROJECT_SOURCE_DIR}/resources/*.rc ${PROJECT_SOURCE_DIR}/resources/*.manifest)
set_source_files_properties(resources/velmora.rc PROPERTIES OBJECT_DEPENDS "${ARTWORK}")
set_target_properties(velmora PROPERTIES OUTPUT_NAME Velmora SUFFIX .scr)
target_link_libraries(velmora PRIVATE velmora_win32)
# --kill-at: the exports keep their plain names on i686 too.
target_link_options(velmora PRIVATE ${VELMORA_STATIC_RUNTIME} -Wl,--kill-at)
if(VELMORA_ARCH STREQUAL "win32")
  # 4 GiB of address space under 64-bit Windows instead of 2: a picture at the library's
  # limit takes 384 MiB for its pixels alone, with the fitted copy and a progressive
  # file's coefficients beside it.
  target_link_options(velmora PRIVATE -Wl,--large-address-aware)
endif()
add_dependencies(velmora picdll)
velmora_warnings(velmora)
velmora_to_dist(velmora)

# --- Windows tools --------------------------------------------------------------------
add_executable(picdecode tools/picdecode_win32.cpp tools/picdecode_main.cpp)
target_include_directories(picdecode PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(picdecode PRIVATE picdll_by_ordinal velmora_core)
add_dependencies(picdecode picdll)
target_link_options(picdecode PRIVATE ${VELMORA_STATIC_RUNTIME})
velmora_warnings(picdecode)
velmora_to_dist(picdecode)

include(cmake/windows-tests.cmake)
