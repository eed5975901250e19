# Rebuilds of several checkouts share one compiler cache when ccache is there.
# Paths are taken relative to the checkout so two working trees hit the same entries.
# The sloppiness lets ccache cache the files compiled with a precompiled header
# (and the header itself, which is always newer than the build started).
find_program(QUILLMERE_CCACHE ccache)
if(QUILLMERE_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER
      ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=1
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime ${QUILLMERE_CCACHE})
endif()
