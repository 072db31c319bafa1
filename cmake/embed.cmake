# The 7-Zip library travels inside the program: on Linux the shared object is
# assembled into the read-only data (Windows carries 7z.dll as a resource).
if(NOT WIN32)
  set(REMEDOR_7Z_SO /usr/lib/p7zip/7z.so CACHE FILEPATH "The 7-Zip shared object to embed")
  if(NOT EXISTS ${REMEDOR_7Z_SO})
    message(FATAL_ERROR "${REMEDOR_7Z_SO} is missing: install p7zip-full")
  endif()
  set_source_files_properties(${CMAKE_SOURCE_DIR}/platform/posix/embedded_library.cpp PROPERTIES
    COMPILE_DEFINITIONS "REMEDOR_7Z_SO=\"${REMEDOR_7Z_SO}\""
    OBJECT_DEPENDS ${REMEDOR_7Z_SO})
endif()
