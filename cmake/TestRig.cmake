# How tests are registered.
#
# Native: every GoogleTest case is its own CTest test.
# Windows: every test executable is one CTest test, run through scripts/wine-run
# (the cross-compiling emulator) inside the build's test rig: a private Wine
# prefix, a private Xvfb display and the reference application service, started
# by the `rig` fixture and stopped after the last test that needs it.
#
# A machine whose kernel runs no 32-bit programs has no 32-bit Wine: there the
# 32-bit product is built without its Wine tests (LUMEN_WINE_TESTS=OFF), and a
# 64-bit build of the same sources runs them (scripts/test chooses). The
# PE32 itself still runs end to end there, in 32-bit Wine under the i386
# user-mode emulator (LUMEN_WINE_EMULATED=ON, scripts/wine-i386-launcher).
option(LUMEN_WINE_TESTS "Build this Windows configuration's tests and run them under Wine" ON)
option(LUMEN_WINE_EMULATED "Run the 32-bit product end to end in 32-bit Wine under the i386 emulator" OFF)
set(LUMEN_WINE_RIG OFF)
if(WIN32 AND LUMEN_WINE_TESTS)
  set(LUMEN_WINE_RIG ON)
endif()
# The product's own end-to-end run: in every 32-bit build that can run it.
set(LUMEN_PE32_RUN OFF)
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND (LUMEN_WINE_TESTS OR LUMEN_WINE_EMULATED))
  set(LUMEN_PE32_RUN ON)
endif()

if(WIN32)
  # The rig's service listens on a port fixed for this build folder, so that
  # programs built for the tests can carry its address; a hash of the folder
  # keeps builds side by side on the machine apart.
  string(MD5 folder_hash "${CMAKE_BINARY_DIR}")
  string(SUBSTRING "${folder_hash}" 0 4 port_hex)
  math(EXPR LUMEN_RIG_PORT "20000 + 0x${port_hex} % 20000")
  file(WRITE "${CMAKE_BINARY_DIR}/rig.port" "${LUMEN_RIG_PORT}\n")
  # The benchmarks run a rig of their own (BUILD/../bench) on the next port.
  math(EXPR LUMEN_BENCH_PORT "${LUMEN_RIG_PORT} + 1")
  file(WRITE "${CMAKE_BINARY_DIR}/bench.port" "${LUMEN_BENCH_PORT}\n")

  # The Wine that runs this build's programs: 64-bit programs need 64-bit
  # Wine. scripts/wine-env puts this folder first on the PATH.
  set(wineboot_loader "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(wine_loader /usr/lib/wine/wine64)
  elseif(LUMEN_WINE_EMULATED)
    # The 32-bit loader under the emulator; the prefix is made by the 64-bit
    # wineboot of the same launcher folder, natively and so much faster.
    execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/wine-i386-launcher" "${CMAKE_BINARY_DIR}/wine-i386"
                    COMMAND_ERROR_IS_FATAL ANY)
    set(wine_loader "${CMAKE_BINARY_DIR}/wine-i386/lib/wine/wine")
    set(wineboot_loader "${CMAKE_BINARY_DIR}/wine-i386/lib/wine/wine64")
  else()
    set(wine_loader /usr/lib/wine/wine)
  endif()
  # Scripts, not links: the loader finds itself again by the path it was
  # started with.
  set(launchers "wine=exec ${wine_loader}" "wine-stable=exec ${wine_loader}")
  if(wineboot_loader)
    list(APPEND launchers "wineboot=exec ${wineboot_loader} wineboot")
  endif()
  file(REMOVE "${CMAKE_BINARY_DIR}/wine-bin/wineboot")
  foreach(entry IN LISTS launchers)
    string(REGEX MATCH "^[^=]+" name "${entry}")
    string(REGEX REPLACE "^[^=]+=" "" command "${entry}")
    set(launcher "${CMAKE_BINARY_DIR}/wine-bin/${name}")
    file(WRITE "${launcher}" "#!/bin/sh\n${command} \"$@\"\n")
    file(CHMOD "${launcher}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
      WORLD_READ WORLD_EXECUTE)
  endforeach()
endif()

# The emulated rig has a name of its own: scripts/test runs it beside the
# 64-bit build's rig in one test run.
set(LUMEN_RIG_FIXTURE rig)
if(LUMEN_PE32_RUN AND NOT LUMEN_WINE_RIG)
  set(LUMEN_RIG_FIXTURE rig_i386_emulated)
endif()
if(LUMEN_WINE_RIG OR LUMEN_PE32_RUN)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/scripts/wine-run;${CMAKE_BINARY_DIR}")
  add_test(NAME ${LUMEN_RIG_FIXTURE}.start COMMAND "${PROJECT_SOURCE_DIR}/scripts/rig" start "${CMAKE_BINARY_DIR}")
  add_test(NAME ${LUMEN_RIG_FIXTURE}.stop COMMAND "${PROJECT_SOURCE_DIR}/scripts/rig" stop "${CMAKE_BINARY_DIR}")
  set_tests_properties(${LUMEN_RIG_FIXTURE}.start PROPERTIES FIXTURES_SETUP ${LUMEN_RIG_FIXTURE} TIMEOUT 180)
  set_tests_properties(${LUMEN_RIG_FIXTURE}.stop PROPERTIES FIXTURES_CLEANUP ${LUMEN_RIG_FIXTURE})
endif()

# lumen_test(<name> [WINDOWS_ONLY] SOURCES <files...> LIBS <targets...>)
# A GoogleTest executable. Without WINDOWS_ONLY it holds portable tests and is
# built in both configurations.
function(lumen_test name)
  cmake_parse_arguments(ARG "WINDOWS_ONLY" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if((ARG_WINDOWS_ONLY AND NOT WIN32) OR (WIN32 AND NOT LUMEN_WINE_RIG))
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  lumen_target(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED rig TIMEOUT ${ARG_TIMEOUT})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
endfunction()

# lumen_rig_test(<name> [PE32_RUN] COMMAND <command...>): a test run on the
# Linux side inside the rig (GUI drives, screenshots), given the build
# directory. PE32_RUN: the 32-bit product's own run, which 32-bit builds run
# under the emulator too where the kernel runs no 32-bit programs.
function(lumen_rig_test name)
  cmake_parse_arguments(ARG "PE32_RUN" "TIMEOUT" "COMMAND" ${ARGN})
  if(ARG_PE32_RUN AND NOT LUMEN_PE32_RUN)
    return()
  endif()
  if(NOT ARG_PE32_RUN AND NOT LUMEN_WINE_RIG)
    return()
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${LUMEN_RIG_FIXTURE} TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "LUMEN_BUILD_DIR=${CMAKE_BINARY_DIR};LUMEN_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
