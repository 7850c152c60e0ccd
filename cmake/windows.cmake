# Windows side: tarvostub.exe with its resources and header layout, the tools, and the
# GoogleTest suites that ctest runs under Wine through scripts/wine-run.sh.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)

# --- tarvostub.exe -------------------------------------------------------------------------
set(STUB_DIR ${PROJECT_SOURCE_DIR}/src/core/tarvostub)
configure_file(${STUB_DIR}/version.h.in ${PROJECT_BINARY_DIR}/generated/version.h @ONLY)

add_executable(tarvostub WIN32 ${STUB_DIR}/tarvostub.cpp ${STUB_DIR}/tarvostub.rc)
target_compile_options(tarvostub PRIVATE ${TARVO_WARNINGS})
target_include_directories(tarvostub PRIVATE ${PROJECT_BINARY_DIR}/generated ${STUB_DIR})
target_link_libraries(tarvostub PRIVATE tarvo_core)
# Stripped, and without a link time stamp so that the same sources give the same stub.
target_link_options(tarvostub PRIVATE -s -Wl,--no-insert-timestamp)
set_source_files_properties(${STUB_DIR}/tarvostub.rc PROPERTIES
  OBJECT_DEPENDS "${STUB_DIR}/tarvostub.manifest;${STUB_DIR}/MainIcon.ico")
set_property(SOURCE ${STUB_DIR}/tarvostub.rc APPEND PROPERTY INCLUDE_DIRECTORIES
  ${PROJECT_BINARY_DIR}/generated ${STUB_DIR})
# The builder writes the installer's length at 0xF8..0xFF and per-build bytes at 0x90..0xCF,
# so the PE headers must start at 0x100 and the area below them must be free.
add_custom_command(TARGET tarvostub POST_BUILD
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/pe_move_headers.py
          $<TARGET_FILE:tarvostub> 0x100
  VERBATIM)

# --- tarvo-trace.exe: the debug viewer -------------------------------------------------------
file(GLOB TARVO_TRACE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/tarvo-trace/*.cpp)
add_executable(tarvo-trace WIN32 ${TARVO_TRACE_SOURCES})
target_compile_options(tarvo-trace PRIVATE ${TARVO_WARNINGS})
target_include_directories(tarvo-trace PRIVATE ${PROJECT_SOURCE_DIR}/tools/tarvo-trace)
target_link_libraries(tarvo-trace PRIVATE tarvo_core)

# --- Windows test suites ---------------------------------------------------------------------
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

file(GLOB TARVO_WIN_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/win/*.cpp)
add_executable(win_tests ${TARVO_WIN_TESTS})
target_compile_options(win_tests PRIVATE ${TARVO_WARNINGS})
target_include_directories(win_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/win)
target_link_libraries(win_tests PRIVATE tarvo_pack_lib tarvo_core gtest gtest_main version comctl32)
add_dependencies(win_tests tarvostub tarvo-trace)
add_test(NAME win_tests COMMAND win_tests --gtest_brief=1)
set_tests_properties(win_tests PROPERTIES TIMEOUT 900)

# Helper programs the Wine tests start (engine stand-in, listeners, ...): one .exe per file.
file(GLOB TARVO_FIXTURES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/fixtures/*.cpp)
foreach(fixture ${TARVO_FIXTURES})
  get_filename_component(name ${fixture} NAME_WE)
  add_executable(${name} ${fixture})
  target_compile_options(${name} PRIVATE ${TARVO_WARNINGS})
  target_link_libraries(${name} PRIVATE tarvo_core comctl32)
  add_dependencies(win_tests ${name})
endforeach()
