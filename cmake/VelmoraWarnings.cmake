# Warnings on the project's own targets; third-party headers come in as system includes. They are
# errors in the project's own builds (scripts/ and CI turn VELMORA_WERROR on), but not by default:
# a packager's build with another compiler or optimisation level must not fail on a compiler's
# false positive (GCC 12's -Wrestrict at -O3, for one).
option(VELMORA_WERROR "Make every warning on the project's own targets an error" OFF)

function(velmora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wcast-align -Woverloaded-virtual)
  if(VELMORA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Adds a GoogleTest executable whose cases ctest discovers when the tests run (not at build time).
function(velmora_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  velmora_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "VELMORA_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# A program that starts often: the linker's own optimisations, unused sections dropped and only
# the shared libraries it calls loaded (each costs mapping and relocation at every start), and its
# relative relocations packed (that part of the table the loader reads at every start, some 60 KiB,
# shrinks to about one).
function(velmora_lean_program target)
  if(NOT VELMORA_SANITIZE)
    target_link_options(${target} PRIVATE -Wl,-O1 -Wl,--as-needed -Wl,--gc-sections
                                             -Wl,-z,pack-relative-relocs)
  endif()
endfunction()

# Code that runs once per user action or at start (the interface and its model) is compiled for
# size in optimised builds: nearly all of it is read from the program's file at each start (the
# kernel maps it in blocks around every page touched), so a smaller program starts with fewer
# pages resident and to read, while its time goes to Qt, not to its own instructions. The core's
# hot paths (search, the preference store) keep the build type's optimisation.
function(velmora_compact_code target)
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release,RelWithDebInfo>:-Os>)
endfunction()
