# What makes the Windows build a program people can install: each program's resources (icon,
# version, manifest), the install rules and the packages, a ZIP to unpack anywhere and, where
# NSIS is at hand, an installer with a Start-menu entry and an uninstaller. Used by
# dist/CMakeLists.txt and by the Windows check (tests/windows), which builds it with MinGW.
set(PIKUTA_WINDOWS_DIR ${CMAKE_CURRENT_LIST_DIR})

# pikuta_windows_resources(TARGET DESCRIPTION text VERSION x.y.z ICON file.ico [UTF8])
# UTF8: the program's ANSI code page is UTF-8 (Windows 10 1903 and later), so that a narrow
# file name keeps every character. Not for the metafile renderer: the ANSI text records of old
# metafiles are in the system's code page.
function(pikuta_windows_resources target)
  cmake_parse_arguments(arg "UTF8" "DESCRIPTION;VERSION;ICON" "" ${ARGN})
  set(PIKUTA_FILE_NAME ${target})
  set(PIKUTA_FILE_DESCRIPTION ${arg_DESCRIPTION})
  set(PIKUTA_VERSION ${arg_VERSION})
  string(REPLACE "." "," PIKUTA_VERSION_COMMAS ${arg_VERSION})
  set(PIKUTA_ICON ${arg_ICON})
  set(PIKUTA_CODE_PAGE "")
  if(arg_UTF8)
    set(PIKUTA_CODE_PAGE "      <activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>")
  endif()
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PIKUTA_WINDOWS_DIR}/pikuta.manifest.in ${manifest} @ONLY)
  # The Microsoft linker embeds a manifest of its own, into which it merges this one.
  set(PIKUTA_MANIFEST_RESOURCE "1 24 \"${manifest}\"")
  if(MSVC)
    set(PIKUTA_MANIFEST_RESOURCE "")
    target_sources(${target} PRIVATE ${manifest})
    target_link_options(${target} PRIVATE /MANIFESTUAC:NO)
  endif()
  configure_file(${PIKUTA_WINDOWS_DIR}/pikuta.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} TARGET_DIRECTORY ${target}
    PROPERTIES OBJECT_DEPENDS "${arg_ICON};${manifest}")
endfunction()

# pikuta_windows_package(VERSION x.y.z ICON file.ico PROGRAMS target... LIBRARY_DIRS dir...
#                        [SYSTEM_LIBRARIES regex...])
# The programs go side by side to the top of the folder (the viewer finds its renderer beside
# it), with every library they load that is not the system's: the renderer's own runtime
# too, which no Qt tool looks for. LIBRARY_DIRS are where those libraries are found;
# SYSTEM_LIBRARIES names the system's libraries where they cannot be found (cross-building).
function(pikuta_windows_package)
  cmake_parse_arguments(package "" "VERSION;ICON" "PROGRAMS;LIBRARY_DIRS;SYSTEM_LIBRARIES"
                        ${ARGN})
  # Built elsewhere than on Windows, the install step reads the programs' imports with the
  # cross-building tools.
  if(CMAKE_CROSSCOMPILING)
    install(CODE "set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
      set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
      set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND ${CMAKE_OBJDUMP})")
  endif()
  install(TARGETS ${package_PROGRAMS} RUNTIME_DEPENDENCY_SET pikuta_libraries
          RUNTIME DESTINATION .)
  install(RUNTIME_DEPENDENCY_SET pikuta_libraries DESTINATION .
          PRE_EXCLUDE_REGEXES [[^api-ms-]] [[^ext-ms-]] ${package_SYSTEM_LIBRARIES}
          POST_EXCLUDE_REGEXES [=[[/\\][Ss]ystem32[/\\]]=] [=[[/\\][Ww]indows[/\\]]=]
          DIRECTORIES ${package_LIBRARY_DIRS})

  set(CPACK_PACKAGE_NAME PIKUTA)
  set(CPACK_PACKAGE_VENDOR "MOFURA SOFT")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
      "picture viewer and slideshow player for BMP, JPEG, GIF, EMF and WMF")
  set(CPACK_PACKAGE_VERSION ${package_VERSION})
  set(CPACK_PACKAGE_FILE_NAME PIKUTA-${package_VERSION}-win64)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY PIKUTA)
  set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_GENERATOR ZIP)
  find_program(PIKUTA_MAKENSIS makensis)
  if(PIKUTA_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
  endif()
  # The installer: a Start-menu entry "PIKUTA" for the program, an uninstaller with its entry in
  # the system's list of programs, the program's icon on both.
  set(CPACK_PACKAGE_EXECUTABLES pikuta PIKUTA)
  set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
  set(CPACK_NSIS_PACKAGE_NAME PIKUTA)
  set(CPACK_NSIS_DISPLAY_NAME PIKUTA)
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  set(CPACK_NSIS_INSTALLED_ICON_NAME pikuta.exe)
  set(CPACK_NSIS_MUI_ICON ${package_ICON})
  set(CPACK_NSIS_MUI_UNIICON ${package_ICON})
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
  # A 64-bit installer, Unicode throughout, as the programs it installs.
  set(CPACK_NSIS_DEFINES "Target amd64-unicode")
  include(CPack)
endfunction()
