# The renderer program `pikuta-metafile` and the header checks it shares with the plugin, on
# plain C++ and the system's drawing libraries: GDI's metafile player on Windows, libemf2svg and
# libwmf elsewhere. Included by this folder's CMakeLists.txt and by the Windows check, which
# cross-compiles it without Qt.
set(METAFILE_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(pikuta_metafile_format STATIC
  ${METAFILE_DIR}/metafile_format.cpp ${METAFILE_DIR}/metafile_format.h)
target_include_directories(pikuta_metafile_format PRIVATE ${METAFILE_DIR})

add_executable(pikuta-metafile
  ${METAFILE_DIR}/renderer_main.cpp ${METAFILE_DIR}/renderer_request.cpp
  ${METAFILE_DIR}/renderer_request.h ${METAFILE_DIR}/renderer.h ${METAFILE_DIR}/renderer_protocol.h)
target_include_directories(pikuta-metafile PRIVATE ${METAFILE_DIR})
target_link_libraries(pikuta-metafile PRIVATE pikuta_metafile_format)
# The plugin looks for the renderer beside the program, which is built into the top of the
# build tree.
set_target_properties(pikuta-metafile PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

if(WIN32)
  target_sources(pikuta-metafile PRIVATE ${METAFILE_DIR}/render_gdi.cpp)
  target_link_libraries(pikuta-metafile PRIVATE gdi32 gdiplus)
  target_compile_definitions(pikuta-metafile PRIVATE NOMINMAX)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(METAFILE_LIBS REQUIRED IMPORTED_TARGET librsvg-2.0 cairo libwmf)
  find_library(EMF2SVG_LIBRARY emf2svg REQUIRED)
  find_path(EMF2SVG_INCLUDE_DIR emf2svg.h REQUIRED)
  target_sources(pikuta-metafile PRIVATE
    ${METAFILE_DIR}/render_emf.cpp ${METAFILE_DIR}/render_wmf.cpp
    ${METAFILE_DIR}/raster.cpp ${METAFILE_DIR}/raster.h)
  target_include_directories(pikuta-metafile PRIVATE ${EMF2SVG_INCLUDE_DIR})
  target_link_libraries(pikuta-metafile PRIVATE PkgConfig::METAFILE_LIBS ${EMF2SVG_LIBRARY})
endif()
