# Shared build rules: every library, program and test of the tree is declared
# through these helpers so that flags, include roots and sanitizers stay in one place.

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

add_library(zv_options INTERFACE)
target_include_directories(zv_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_features(zv_options INTERFACE cxx_std_20)
target_compile_options(zv_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
target_link_libraries(zv_options INTERFACE Threads::Threads)
# CI builds with ZV_WERROR: a warning fails the build, so none slips in unseen among the build's
# lines. On links too, where the compiler warns of options it did not use and the linker of its own.
if(ZV_WERROR)
  target_compile_options(zv_options INTERFACE -Werror)
  target_link_options(zv_options INTERFACE -Werror -Wl,--fatal-warnings)
endif()

# lld links the many test programs several times faster than the default linker.
include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=lld" ZV_HAVE_LLD)
if(ZV_HAVE_LLD)
  target_link_options(zv_options INTERFACE -fuse-ld=lld)
endif()

if(ZV_SANITIZE)
  target_compile_options(zv_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                              -fno-sanitize-recover=undefined)
  target_link_options(zv_options INTERFACE -fsanitize=address,undefined)
  # Instrumented code is large and every test program and fuzzer links the libraries statically:
  # each program keeps only the functions it reaches, and as a fixed-address program it carries
  # no relocation for every pointer (smaller on disk, quicker to start, as each test is a process).
  target_compile_options(zv_options INTERFACE -ffunction-sections -fdata-sections)
  # Only programs are linked at a fixed address: the web engine's module is loaded anywhere.
  target_link_options(zv_options INTERFACE -Wl,--gc-sections $<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-no-pie>)
endif()

# Unity builds: each target compiles its sources in batches, one translation unit per batch, so
# that the shared headers (the standard library, JSON, GoogleTest, the platform) are parsed and
# their inline code generated once per batch instead of once per file. Names in anonymous
# namespaces and file-level `using` therefore meet those of the other files of the batch: give
# helpers names of their own, keep aliases inside the file's anonymous namespace. -DZV_UNITY=OFF
# compiles file by file (quicker rebuilds while editing one file).
set(ZV_UNITY_BATCH_SIZE 8 CACHE STRING "Sources per unity batch")
if(ZV_UNITY)
  set(CMAKE_UNITY_BUILD ON)
  set(CMAKE_UNITY_BUILD_BATCH_SIZE ${ZV_UNITY_BATCH_SIZE})
endif()

# zv_library(<name> <dir> [DEPS <targets...>])
# A static library of every source below <dir>.
function(zv_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  file(GLOB_RECURSE cpps CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT cpps)
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE zv_options ${ARG_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  target_link_libraries(${name} PUBLIC zv_options ${ARG_DEPS})
endfunction()

# zv_shuffled_run(<program>)
# The whole program once more, in one process and in a random order (the seed is printed), so
# that a test depending on what an earlier one left or did fails in CI. Each is the longest test of
# its program: a high cost makes a parallel run start them first, while the short cases fill the
# other processors, instead of leaving them to run one after another at the end.
function(zv_shuffled_run program)
  add_test(NAME ${program}.shuffled COMMAND ${program} --gtest_shuffle)
  set_tests_properties(${program}.shuffled PROPERTIES TIMEOUT 900 COST 100000)
endfunction()

# zv_test(<name> <dir> [DEPS <targets...>])
# One GoogleTest program of every *.cpp below <dir>; each case becomes a CTest test, and the
# program runs once more shuffled.
function(zv_test name dir)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE zv_options zv_testsupport GTest::gtest_main GTest::gmock ${ARG_DEPS})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
  zv_shuffled_run(${name})
endfunction()

if(ZV_FUZZ)
  # Coverage for libFuzzer in every library, so the fuzzers see into the parsers.
  target_compile_options(zv_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
