# The saver's help (velmora.hlp, velmora.chm) and VelmoraSetup.exe, which carries this
# build's own picdll.dll, Velmora.scr and help files as resources.

find_program(PYTHON3 python3 REQUIRED)
find_program(CHMCMD chmcmd REQUIRED)

# --- velmora.hlp and velmora.chm, both from the one help source ------------------------
set(HELP_SOURCE ${PROJECT_SOURCE_DIR}/help/velmora.txt)
set(HELP_GENERATOR ${PROJECT_SOURCE_DIR}/tools/make_help.py ${PROJECT_SOURCE_DIR}/tools/help_source.py
  ${PROJECT_SOURCE_DIR}/tools/winhelp.py ${PROJECT_SOURCE_DIR}/tools/chm.py)
set(WINHELP_FILE ${VELMORA_DIST_DIR}/velmora.hlp)
set(HTMLHELP_FILE ${VELMORA_DIST_DIR}/velmora.chm)
add_custom_command(OUTPUT ${WINHELP_FILE} ${HTMLHELP_FILE}
  COMMAND ${PYTHON3} ${PROJECT_SOURCE_DIR}/tools/make_help.py ${HELP_SOURCE} --hlp ${WINHELP_FILE}
    --chm ${HTMLHELP_FILE} --work ${CMAKE_BINARY_DIR}/help-pages --chmcmd ${CHMCMD}
  DEPENDS ${HELP_SOURCE} ${HELP_GENERATOR}
  COMMENT "Making velmora.hlp and velmora.chm")
add_custom_target(velmora_help ALL DEPENDS ${WINHELP_FILE} ${HTMLHELP_FILE})

# --- VelmoraSetup.exe ------------------------------------------------------------------
# The resource script names the files this build just made; its object depends on each of
# them, so the setup never carries an older copy.
set(INSTALLER_RC ${CMAKE_BINARY_DIR}/installer.rc)
file(GENERATE OUTPUT ${INSTALLER_RC} CONTENT "#include <windows.h>
LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US
1 24 \"${PROJECT_SOURCE_DIR}/installer/installer.manifest\"
INSTALLICON ICON \"${PROJECT_SOURCE_DIR}/resources/install.ico\"
10 DATA \"$<TARGET_FILE:picdll>\"
11 DATA \"$<TARGET_FILE:velmora>\"
12 DATA \"${WINHELP_FILE}\"
13 DATA \"${HTMLHELP_FILE}\"
")
set_source_files_properties(${INSTALLER_RC} PROPERTIES GENERATED TRUE OBJECT_DEPENDS
  "${VELMORA_DIST_DIR}/picdll.dll;${VELMORA_DIST_DIR}/Velmora.scr;${WINHELP_FILE};${HTMLHELP_FILE};${PROJECT_SOURCE_DIR}/installer/installer.manifest;${PROJECT_SOURCE_DIR}/resources/install.ico")

velmora_win32_sources(INSTALLER_WIN32_SOURCES installer)
add_executable(installer WIN32 ${INSTALLER_WIN32_SOURCES} ${INSTALLER_RC})
set_target_properties(installer PROPERTIES OUTPUT_NAME VelmoraSetup)
target_include_directories(installer PRIVATE ${PROJECT_SOURCE_DIR})
# Only what the saver imports too: the version functions are loaded at run time.
target_link_libraries(installer PRIVATE installer_core user32 kernel32)
target_link_options(installer PRIVATE ${VELMORA_STATIC_RUNTIME})
add_dependencies(installer picdll velmora velmora_help)
velmora_warnings(installer)
velmora_to_dist(installer)
