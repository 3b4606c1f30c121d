# Build switches shared by every target of the project. Sanitizers are chosen by
# the caller through CMAKE_CXX_FLAGS (see scripts/test.sh), so targets stay clean.

# A user's build builds the product; tests and benchmarks are asked for.
option(BUILD_TESTING "Build the tests" OFF)
option(LCD_BUILD_BENCHMARKS "Build the Google Benchmark binaries" OFF)
# A process per case keeps each case apart, but starting a process is dear
# under an emulator or a sanitizer: there CTest may run each test binary once.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  set(per_case OFF)
else()
  set(per_case ON)
endif()
option(LCD_TEST_PROCESS_PER_CASE "CTest runs each test case in a process of its own" ${per_case})
option(LCD_BUILD_FUZZERS "Build only the libFuzzer targets (needs clang)" OFF)
# A user's build must not fail on a compiler's opinion; the test command turns
# this on so that every warning of our own code is an error there.
option(LCD_WARNINGS_AS_ERRORS "Treat warnings in the project's own code as errors" OFF)

# Warnings for our own code; third-party headers come in as SYSTEM.
add_library(lcd_warnings INTERFACE)
target_compile_options(lcd_warnings INTERFACE -Wall -Wextra $<$<BOOL:${LCD_WARNINGS_AS_ERRORS}>:-Werror>)
