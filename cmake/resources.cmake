# The program's pictures are kept as reviewable text sources in resources/ and turned into .ico
# and .bmp files at build time; images.rc lists them for the resource compiler.
set(KB_RES_DIR ${CMAKE_BINARY_DIR}/resources)
file(MAKE_DIRECTORY ${KB_RES_DIR})
if(NOT EXISTS ${KB_RES_DIR}/images.rc)
  file(WRITE ${KB_RES_DIR}/images.rc "// No pictures yet.\n")
endif()
