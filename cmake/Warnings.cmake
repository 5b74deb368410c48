# Every target of the project compiles with the same strict warnings; third-party
# code (GoogleTest) is added before this takes effect on our own directories. Resource scripts
# (windres) take no compiler warnings.
# Warnings are errors where we build (the presets and CI turn VX_WERROR on); a packager's plain
# configure with other compilers or flags still builds, with the warnings shown.
option(VX_WERROR "Treat compiler warnings as errors" OFF)
function(vx_warnings target)
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Wshadow>)
  if(VX_WERROR)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)
  endif()
endfunction()

# Collect a folder's sources; CONFIGURE_DEPENDS lets new files join without a manual re-run.
function(vx_glob out dir)
  file(GLOB_RECURSE _files CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.c")
  set(${out} ${_files} PARENT_SCOPE)
endfunction()
