# The Windows build (cmake/mingw-w64-x86_64.cmake): the Qt-free libraries, vtplan.exe and
# vtctl.exe (the serial component and the link on the plain host) and the tests that run under
# Wine, and a zip of the programs with their man pages as text (cpack -G ZIP). The window needs
# Qt, and so the window's settings file (settings/) is the window's alone; vtunit needs a
# pseudo-terminal: none of them is built here.
set(VT_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, built by the cross compiler")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VT_GTEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The zip holds the programs and their pages side by side, as Windows programs are unpacked.
set(CMAKE_INSTALL_BINDIR .)

# A man page rendered as plain text with CR LF line ends, for Notepad: <name>.txt beside the
# program (the counts filled in as on Linux).
function(vt_install_man_page page)
  get_filename_component(name ${page} NAME_WE)
  get_filename_component(source ${page} ABSOLUTE)
  set(filled ${CMAKE_CURRENT_BINARY_DIR}/${name}.1)
  set(text ${CMAKE_CURRENT_BINARY_DIR}/${name}.txt)
  set(fill ${PROJECT_SOURCE_DIR}/packaging/fill_man_page.cmake)
  add_custom_command(OUTPUT ${filled}
                     COMMAND ${CMAKE_COMMAND} -DFIGURES=${VT_MAN_FIGURES} -DIN=${source} -DOUT=${filled} -P ${fill}
                     DEPENDS ${source} ${fill} ${VT_MAN_FIGURES} man_figures VERBATIM)
  add_custom_command(OUTPUT ${text}
                     COMMAND sh -c "groff -t -man -Tutf8 -rHY=0 -P-cbou \"$1\" | sed 's/$/\\r/' > \"$2\"" groff ${filled} ${text}
                     DEPENDS ${filled} VERBATIM)
  add_custom_target(man_text_${name} ALL DEPENDS ${text})
  set_property(GLOBAL PROPERTY VT_MAN_TEXT_${name} ${text})
  install(FILES ${text} DESTINATION .)
endfunction()

foreach(dir text cli planning protocol files headerfile channels band device serial tools/vtplan tools/vtctl
        tests)
  add_subdirectory(${dir})
endforeach()
install(TARGETS vtctl)
vt_install_man_page(tools/vtctl/vtctl.1)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vtconfig-tools)
set(CPACK_PACKAGE_VENDOR "Vantorix")
set(CPACK_SYSTEM_NAME windows-x86_64)
set(CPACK_STRIP_FILES ON)
include(CPack)
