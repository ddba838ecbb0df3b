# Test plumbing shared by both builds. GoogleTest comes from Debian: the
# prebuilt library natively, its sources for the Windows build.
if(NOT BUILD_TESTING)
  return()
endif()

if(WIN32)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(KIVREL_GTEST GTest::gtest GTest::gtest_main)
  if(NOT TARGET GTest::gtest)
    set(KIVREL_GTEST gtest gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
  set(KIVREL_GTEST GTest::gtest GTest::gtest_main)
endif()

set(KIVREL_ISOLATED ${PROJECT_SOURCE_DIR}/tests/harness/isolated)

# Each test's time limit, a few times its usual length, so that a hang costs
# minutes: 60 s unless given, 120 s under Wine, where the first test of a run
# may have to make the Wine prefix.
function(kivrel_test_timeout name seconds)
  if(NOT seconds AND WIN32)
    set(seconds 120)
  elseif(NOT seconds)
    set(seconds 60)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${seconds})
endfunction()

# A GoogleTest program. SENDING runs it in a private network namespace; under
# Wine every program runs that way already (the toolchain's emulator).
function(kivrel_add_gtest name)
  cmake_parse_arguments(ARG "SENDING" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${KIVREL_GTEST})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wineprefix)
  elseif(ARG_SENDING)
    add_test(NAME ${name} COMMAND ${KIVREL_ISOLATED} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  kivrel_test_timeout(${name} "${ARG_TIMEOUT}")
endfunction()

# A Python test that drives the real programs from outside, always isolated.
# WINE gives it a wineserver and an X display of its own, under this build's
# Wine loader; LANS N, N isolated LANs beside lo (ARGS then usually ends with
# "-k lans", their cases), and FAR a far LAN behind the first one's router.
# The run fails when no case ran, or when other than SKIPS cases (none unless
# given) were skipped.
function(kivrel_add_script_test name script)
  cmake_parse_arguments(ARG "WINE;FAR" "LANS;TIMEOUT;SKIPS" "ARGS" ${ARGN})
  if(NOT ARG_SKIPS)
    set(ARG_SKIPS 0)
  endif()
  set(harness ${KIVREL_ISOLATED})
  if(ARG_LANS)
    list(APPEND harness --lans ${ARG_LANS})
  endif()
  if(ARG_FAR)
    list(APPEND harness --far)
  endif()
  if(ARG_WINE)
    list(APPEND harness --wine=${KIVREL_WINE_LOADER})
  endif()
  add_test(NAME ${name}
           COMMAND ${harness} python3 ${PROJECT_SOURCE_DIR}/tests/e2e/${script} ${ARG_ARGS})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "PYTHONPATH=${PROJECT_SOURCE_DIR}/tests/e2e;PYTHONDONTWRITEBYTECODE=1;KIVREL_VERSION=${KIVREL_VERSION};KIVREL_SKIPS=${ARG_SKIPS}")
  kivrel_test_timeout(${name} "${ARG_TIMEOUT}")
  if(ARG_WINE)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wineprefix)
  endif()
endfunction()
