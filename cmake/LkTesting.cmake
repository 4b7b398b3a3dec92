# Test helpers shared by every folder under tests/.
include(GoogleTest)

if(LK_WINDOWS)
  # GoogleTest built from the Debian sources with the cross compiler.
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # Its port hook, found before its own: a Notification over a Win32 event
    # (the toolchain's C++ library has no std::mutex).
    target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/tests/support/gtest_port)
    target_sources(gtest PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/gtest_port/notification.cpp)
  endif()
  set(LK_GTEST_LIBS gtest gmock)
  set(LK_GTEST_MAIN gtest_main)

  # Every Windows program the tests start runs through this wrapper, which
  # points Wine at the build folder's own prefix (32- or 64-bit, as the
  # build's programs) and creates it on first use.
  set(LK_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(LK_WINE_ARCH win64)
  else()
    set(LK_WINE_ARCH win32)
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
else()
  find_package(GTest REQUIRED)
  set(LK_GTEST_LIBS GTest::gtest GTest::gmock)
  set(LK_GTEST_MAIN GTest::gtest_main)
endif()

# lk_add_gtest(NAME name SOURCES ... [LIBS ...] [WINDOWS_ONLY] [OWN_MAIN] [ALONE] [TIMEOUT s])
# One test program; each of its GoogleTest cases becomes a ctest test.
# ALONE: its cases run with no other test beside them. For cases that need the
# keyboard focus: under Wine all programs share one desktop, and a window that
# another test opens takes the focus away.
function(lk_add_gtest)
  cmake_parse_arguments(T "WINDOWS_ONLY;OWN_MAIN;ALONE" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(T_WINDOWS_ONLY AND NOT LK_WINDOWS)
    return()
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} ${LK_GTEST_LIBS})
  if(NOT T_OWN_MAIN)
    target_link_libraries(${T_NAME} PRIVATE ${LK_GTEST_MAIN})
  endif()
  target_compile_definitions(${T_NAME} PRIVATE
    LK_SOURCE_DIR="${CMAKE_SOURCE_DIR}" LK_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(LK_WINDOWS)
    target_link_options(${T_NAME} PRIVATE -mconsole)
  endif()
  set(alone "")
  if(T_ALONE AND LK_WINDOWS)
    set(alone RUN_SERIAL TRUE)
  endif()
  if(LK_WINDOWS)
    # Nothing of a Windows test may land in the home folder (tests/desk).
    list(APPEND alone FIXTURES_REQUIRED lk_home_watch)
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT ${T_TIMEOUT} ${alone})
endfunction()

# lk_add_fuzzer(NAME name SOURCES ... LIBS ... [CORPUS dir])
# A libFuzzer target (LK_FUZZ builds only) plus a short ctest run of it on
# its corpus; long runs are done by hand.
set(LK_FUZZ_SECONDS 5 CACHE STRING "Seconds each fuzzer runs under ctest")
function(lk_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT LK_FUZZ)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${F_NAME}.corpus)
  set(seeds "")
  if(F_CORPUS)
    set(seeds ${F_CORPUS})
  endif()
  add_test(NAME fuzz.${F_NAME}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            sh -c "mkdir -p '${work}' && exec '$<TARGET_FILE:${F_NAME}>' -max_total_time=${LK_FUZZ_SECONDS} -rss_limit_mb=2048 -print_final_stats=0 '${work}' ${seeds}")
  set_tests_properties(fuzz.${F_NAME} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

# lk_add_bench(NAME name SOURCES ... LIBS ...): native, optimised builds only.
function(lk_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(LK_WINDOWS OR LK_SANITIZE OR LK_FUZZ)
    return()
  endif()
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS})
  target_compile_options(${B_NAME} PRIVATE -O2)
endfunction()
