# Native side: the core's unit tests (GoogleTest from Debian).
find_package(GTest REQUIRED)

file(GLOB TARVO_UNIT_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${TARVO_UNIT_TESTS})
target_compile_options(unit_tests PRIVATE ${TARVO_WARNINGS})
target_include_directories(unit_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/unit)
target_link_libraries(unit_tests PRIVATE tarvo_pack_lib tarvo_core GTest::gtest GTest::gtest_main)
target_compile_definitions(unit_tests PRIVATE
  TARVO_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
  TARVO_BINARY_DIR="${PROJECT_BINARY_DIR}")
add_test(NAME unit_tests COMMAND unit_tests --gtest_brief=1)
