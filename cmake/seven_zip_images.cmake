# The 7-Zip library images that tools/fetch-7zip.sh puts in build-deps/7zip/
# (64-bit and 32-bit 7z.dll), checked against the digests of
# tools/7zip.sha256: a missing or different image fails the configure.
# Sets REMEDOR_7ZIP_DLL_X64 and REMEDOR_7ZIP_DLL_IA32.
set(REMEDOR_7ZIP_DIR ${CMAKE_SOURCE_DIR}/build-deps/7zip)
set(sums_file ${CMAKE_SOURCE_DIR}/tools/7zip.sha256)
file(STRINGS ${sums_file} sums)
foreach(line IN LISTS sums)
  if(NOT line MATCHES "^([0-9a-f]+)  (.+)$")
    message(FATAL_ERROR "${sums_file}: malformed line: ${line}")
  endif()
  set(expected ${CMAKE_MATCH_1})
  set(image ${REMEDOR_7ZIP_DIR}/${CMAKE_MATCH_2})
  if(NOT EXISTS ${image})
    message(FATAL_ERROR "${image} is missing: run tools/fetch-7zip.sh (./dev.sh setup does)")
  endif()
  file(SHA256 ${image} actual)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${image}: SHA-256 ${actual}, expected ${expected}")
  endif()
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${image})
endforeach()
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sums_file})
set(REMEDOR_7ZIP_DLL_X64 ${REMEDOR_7ZIP_DIR}/x64/7z.dll)
set(REMEDOR_7ZIP_DLL_IA32 ${REMEDOR_7ZIP_DIR}/ia32/7z.dll)

