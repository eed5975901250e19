# Rebuilds of several checkouts share one compiler cache when ccache is there.
# Paths are taken relative to the checkout so two working trees hit the same entries.
find_program(QUILLMERE_CCACHE ccache)
if(QUILLMERE_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER
      ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=1 ${QUILLMERE_CCACHE})
endif()
