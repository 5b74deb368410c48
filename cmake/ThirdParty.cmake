# GoogleTest from Debian's source package in every lane, so native and Windows tests
# run against the same framework build.
if(VX_TESTS AND NOT VX_FUZZ)
  set(VX_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${VX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  # GCC 12 at -O3 reports a -Wrestrict false positive inside GoogleTest's own sources (string
  # concatenation); it is not ours to change, and a plain Release build should be quiet.
  foreach(_gt gtest gtest_main gmock gmock_main)
    if(TARGET ${_gt})
      target_compile_options(${_gt} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
    endif()
  endforeach()
  include(GoogleTest)
endif()

# nlohmann/json is header-only; expose only its own folder so that cross builds never
# see the host's /usr/include.
set(VX_JSON_INCLUDE "${CMAKE_BINARY_DIR}/_deps/json-include")
if(EXISTS /usr/include/nlohmann/json.hpp AND NOT EXISTS "${VX_JSON_INCLUDE}/nlohmann")
  file(COPY /usr/include/nlohmann DESTINATION "${VX_JSON_INCLUDE}")
endif()
add_library(vx_json INTERFACE)
target_include_directories(vx_json SYSTEM INTERFACE "${VX_JSON_INCLUDE}")

if(WIN32)
  # Static runtime: the programs must start under Wine and on bare Windows without mingw DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()
