# Header-only libraries installed on the host (Debian packages under
# /usr/include) for the MinGW-w64 build: each library's folder is exposed on
# its own, never /usr/include itself, whose C library headers would shadow
# MinGW-w64's.
set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
foreach(library IN ITEMS nlohmann)
  if(EXISTS /usr/include/${library} AND NOT EXISTS ${host_headers}/${library})
    file(MAKE_DIRECTORY ${host_headers})
    file(CREATE_LINK /usr/include/${library} ${host_headers}/${library} SYMBOLIC)
  endif()
endforeach()
target_include_directories(remedor_core SYSTEM PUBLIC ${host_headers})
