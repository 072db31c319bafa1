# Resources of Remedor.exe: the version information and manifest
# (platform/win32/remedor.rc) and the 7-Zip library image
# (platform/win32/seven_zip.rc), one object library each.

enable_language(RC)

include(${CMAKE_CURRENT_LIST_DIR}/seven_zip_images.cmake)

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
