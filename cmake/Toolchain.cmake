# Compiler, linker and cache settings shared by every target.

find_program(NVX_CCACHE ccache)
if(NVX_CCACHE)
  # Same cache hits from any checkout folder; PCH-friendly settings. The settings must reach
  # ccache when the build runs, not only while CMake configures, so they ride on the launcher.
  set(NVX_CCACHE_LAUNCHER ${CMAKE_COMMAND} -E env
    CCACHE_BASEDIR=${CMAKE_SOURCE_DIR}
    CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime,system_headers
    CCACHE_NOHASHDIR=1
    ${NVX_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${NVX_CCACHE_LAUNCHER})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${NVX_CCACHE_LAUNCHER})
endif()

find_program(NVX_LLD ld.lld)
if(NVX_LLD)
  add_link_options(-fuse-ld=lld)
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(NVX_WERROR)
  add_compile_options(-Werror)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # PCH reuse across targets needs the same options; keep invalid-pch quiet but visible in logs.
  add_compile_options(-Winvalid-pch)
  # GCC 12 reports false out-of-bounds accesses inside std::string at -O1 and above.
  add_compile_options(-Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread -Wno-restrict)
endif()

if(NVX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(NVX_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
