# The renderer program `pikuta-metafile` and the header checks it shares with the plugin, on
# plain C++ and the system's drawing libraries: GDI's metafile player on Windows, libemf2svg and
# libwmf elsewhere. Included by this folder's CMakeLists.txt and by the Windows check, which
# cross-compiles it without Qt.
set(METAFILE_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(pikuta_metafile_format STATIC
  ${METAFILE_DIR}/metafile_format.cpp ${METAFILE_DIR}/metafile_format.h)
target_include_directories(pikuta_metafile_format PRIVATE ${METAFILE_DIR})

# All of the renderer but its main function, which a test build replaces.
add_library(pikuta_renderer STATIC
  ${METAFILE_DIR}/renderer_request.cpp ${METAFILE_DIR}/renderer_request.h
  ${METAFILE_DIR}/renderer.h ${METAFILE_DIR}/renderer_protocol.h ${METAFILE_DIR}/sandbox.h)
target_include_directories(pikuta_renderer PUBLIC ${METAFILE_DIR})
target_link_libraries(pikuta_renderer PUBLIC pikuta_metafile_format)

add_executable(pikuta-metafile ${METAFILE_DIR}/renderer_main.cpp)
target_link_libraries(pikuta-metafile PRIVATE pikuta_renderer)
# The plugin looks for the renderer beside the program, which is built into the top of the
# build tree.
set_target_properties(pikuta-metafile PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

if(WIN32)
  target_sources(pikuta_renderer PRIVATE ${METAFILE_DIR}/render_gdi.cpp
    ${METAFILE_DIR}/sandbox_win.cpp)
  target_link_libraries(pikuta_renderer PUBLIC gdi32 gdiplus)
  target_compile_definitions(pikuta_renderer PRIVATE NOMINMAX)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(METAFILE_LIBS REQUIRED IMPORTED_TARGET librsvg-2.0 cairo libwmf libseccomp)
  find_library(EMF2SVG_LIBRARY emf2svg REQUIRED)
  find_path(EMF2SVG_INCLUDE_DIR emf2svg.h REQUIRED)
  target_sources(pikuta_renderer PRIVATE
    ${METAFILE_DIR}/render_emf.cpp ${METAFILE_DIR}/render_wmf.cpp
    ${METAFILE_DIR}/raster.cpp ${METAFILE_DIR}/raster.h ${METAFILE_DIR}/sandbox_linux.cpp)
  target_include_directories(pikuta_renderer PRIVATE ${EMF2SVG_INCLUDE_DIR})
  target_link_libraries(pikuta_renderer PUBLIC PkgConfig::METAFILE_LIBS ${EMF2SVG_LIBRARY})
endif()
