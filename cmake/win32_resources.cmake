# Resources of Remedor.exe: the version information and manifest
# (platform/win32/remedor.rc) and the 7-Zip library image
# (platform/win32/seven_zip.rc), one object library each.

enable_language(RC)

# The 7-Zip images from tools/fetch-7zip.sh, checked against the digests of
# tools/7zip.sha256: a wrong image fails the configure.
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

set(generated ${CMAKE_BINARY_DIR}/generated)
file(CONFIGURE OUTPUT ${generated}/remedor_version.h CONTENT
"#define REMEDOR_VERSION_NUMBERS \
${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${PROJECT_VERSION_TWEAK}
#define REMEDOR_VERSION_TEXT \"${PROJECT_VERSION}\"
")

add_library(remedor_version_resource OBJECT ${CMAKE_SOURCE_DIR}/platform/win32/remedor.rc)
target_include_directories(remedor_version_resource PRIVATE
  ${generated} ${CMAKE_SOURCE_DIR}/platform/win32)
set_source_files_properties(${CMAKE_SOURCE_DIR}/platform/win32/remedor.rc PROPERTIES
  OBJECT_DEPENDS "${generated}/remedor_version.h;${CMAKE_SOURCE_DIR}/platform/win32/remedor.manifest")

add_library(remedor_7zip_resource OBJECT ${CMAKE_SOURCE_DIR}/platform/win32/seven_zip.rc)
target_include_directories(remedor_7zip_resource PRIVATE ${REMEDOR_7ZIP_DIR}/x64)
set_source_files_properties(${CMAKE_SOURCE_DIR}/platform/win32/seven_zip.rc PROPERTIES
  OBJECT_DEPENDS ${REMEDOR_7ZIP_DLL_X64})
