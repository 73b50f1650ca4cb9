# Header-only Debian libraries (nlohmann-json as a target; CLI11 and toml++ found on the path). Natively from their packages; for the Windows
# cross-build from the copies scripts/build-windows.sh stages in the build's own include folder,
# so that /usr/include itself never reaches the mingw compiler.
set(TEMPIK_STAGED_INCLUDE ${CMAKE_BINARY_DIR}/staged-include)
add_library(tempik_json INTERFACE)
if(CMAKE_CROSSCOMPILING)
  if(NOT EXISTS ${TEMPIK_STAGED_INCLUDE}/nlohmann/json.hpp)
    message(FATAL_ERROR "nlohmann/json.hpp is not staged in ${TEMPIK_STAGED_INCLUDE}: run scripts/build-windows.sh")
  endif()
  target_include_directories(tempik_json SYSTEM INTERFACE ${TEMPIK_STAGED_INCLUDE})
  # CLI11 and toml++ are staged beside it.
  include_directories(SYSTEM ${TEMPIK_STAGED_INCLUDE})
else()
  find_package(nlohmann_json 3 REQUIRED)
  target_link_libraries(tempik_json INTERFACE nlohmann_json::nlohmann_json)
endif()
