# The program's pictures are kept as reviewable text sources in resources/ (a manifest and one
# drawing per picture, see tools/imagegen.h) and turned into .ico and .bmp files at build time
# by a small generator built with the build machine's own compiler; images.rc lists them for the
# resource compiler. The generated files live only in the build tree.
set(KB_RES_DIR ${CMAKE_BINARY_DIR}/resources)
file(MAKE_DIRECTORY ${KB_RES_DIR})

# The generator runs here, so it is compiled for this machine, not for Windows.
find_program(KB_HOST_CXX NAMES g++ c++ clang++ REQUIRED)
set(KB_IMAGEGEN ${CMAKE_BINARY_DIR}/tools/imagegen)
add_custom_command(
  OUTPUT ${KB_IMAGEGEN}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tools
  COMMAND ${KB_HOST_CXX} -std=c++17 -O2 -Wall -Wextra -I${CMAKE_SOURCE_DIR}/src -o ${KB_IMAGEGEN}
          ${CMAKE_SOURCE_DIR}/tools/imagegen.cpp ${CMAKE_SOURCE_DIR}/src/ui/icon_image.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/imagegen.cpp ${CMAKE_SOURCE_DIR}/tools/imagegen.h
          ${CMAKE_SOURCE_DIR}/src/ui/icon_image.cpp ${CMAKE_SOURCE_DIR}/src/ui/icon_image.h
  COMMENT "Building the picture generator for the build machine"
  VERBATIM)

set(KB_IMAGE_MANIFEST ${CMAKE_SOURCE_DIR}/resources/images.txt)
file(GLOB KB_IMAGE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/art/*.art)

# The files the manifest names, so that the build knows what the generator makes.
set(KB_IMAGE_FILES ${KB_RES_DIR}/images.rc)
file(STRINGS ${KB_IMAGE_MANIFEST} kb_manifest_lines REGEX "^[A-Z0-9_]+[ \t]+(icon|picture|bitmap)[ \t]")
foreach(line ${kb_manifest_lines})
  string(REGEX MATCH "^([A-Z0-9_]+)[ \t]+(icon|picture|bitmap)" _ "${line}")
  string(TOLOWER "${CMAKE_MATCH_1}" kb_image_name)
  if(NOT CMAKE_MATCH_2 STREQUAL "bitmap")
    list(APPEND KB_IMAGE_FILES ${KB_RES_DIR}/${kb_image_name}.ico)
  else()
    list(APPEND KB_IMAGE_FILES ${KB_RES_DIR}/${kb_image_name}.bmp)
  endif()
endforeach()
# Configure again when the manifest changes, so that the list above follows it.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KB_IMAGE_MANIFEST})

add_custom_command(
  OUTPUT ${KB_IMAGE_FILES}
  COMMAND ${KB_IMAGEGEN} ${KB_IMAGE_MANIFEST} ${CMAKE_SOURCE_DIR}/resources/art ${KB_RES_DIR}
  DEPENDS ${KB_IMAGEGEN} ${KB_IMAGE_MANIFEST} ${KB_IMAGE_SOURCES}
  COMMENT "Drawing the program's icons and bitmaps"
  VERBATIM)
add_custom_target(keelbrook_images DEPENDS ${KB_IMAGE_FILES})

# The resource compiler reads the pictures through images.rc; a changed picture must recompile
# the program's resources even though no header changed.
set_source_files_properties(${KB_RC} PROPERTIES OBJECT_DEPENDS "${KB_IMAGE_FILES}")
