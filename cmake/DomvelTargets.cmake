# Common settings for the project's own targets.
function(domvel_target_defaults target)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  # Every aggregate the code fills by designated initializers gives each
  # member a default, so a member left out is on purpose.
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
  target_compile_definitions(${target} PUBLIC QT_NO_KEYWORDS)
  if(DOMVEL_SANITIZE)
    target_compile_options(${target} PUBLIC -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
  if(DOMVEL_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    # Coverage for libFuzzer in every library, so a fuzz target links the
    # layer it exercises instead of listing its sources.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# Sanitizer settings of every test in a DOMVEL_SANITIZE build; the processes a
# test starts (client, demo server) inherit them. Leaks are checked; the
# suppressions name only the toolkit's and system libraries' own allocations,
# which takes whole stacks (Qt's libraries have no frame pointers).
set(DOMVEL_SANITIZER_ENVIRONMENT)
set(DOMVEL_SYMBOLIZER_ENVIRONMENT)
if(DOMVEL_SANITIZE OR DOMVEL_FUZZ)
  # Without a symbolizer the stacks are raw addresses, the function-name
  # suppressions match nothing, and the toolkit's own allocations would be
  # reported as leaks: refuse to configure rather than report false leaks.
  string(REGEX MATCH "^[0-9]+" _domvel_llvm_major "${CMAKE_CXX_COMPILER_VERSION}")
  find_program(DOMVEL_LLVM_SYMBOLIZER
    NAMES llvm-symbolizer-${_domvel_llvm_major} llvm-symbolizer
    HINTS /usr/lib/llvm-${_domvel_llvm_major}/bin
    NO_CACHE)
  if(NOT DOMVEL_LLVM_SYMBOLIZER)
    message(FATAL_ERROR "Brak llvm-symbolizer: sanitizery nie rozwiną stosów, a tłumienia "
      "z tests/lsan.supp nic nie dopasują. Zainstaluj pakiet llvm-${_domvel_llvm_major} "
      "(apt-get install llvm-${_domvel_llvm_major}) albo uruchom scripts/setup.sh.")
  endif()
  set(DOMVEL_SYMBOLIZER_ENVIRONMENT
    "ASAN_SYMBOLIZER_PATH=${DOMVEL_LLVM_SYMBOLIZER}"
    "LSAN_SYMBOLIZER_PATH=${DOMVEL_LLVM_SYMBOLIZER}")
  set(DOMVEL_SANITIZER_ENVIRONMENT ${DOMVEL_SYMBOLIZER_ENVIRONMENT}
    "ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:malloc_context_size=8:halt_on_error=1:check_initialization_order=1"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()

# A test's TIMEOUT is at least three times what it takes in the optimised
# build on a busy machine; instrumented code runs several times slower, so a
# sanitized build scales every timeout by this.
set(DOMVEL_TEST_TIMEOUT_SCALE 1)
if(DOMVEL_SANITIZE)
  set(DOMVEL_TEST_TIMEOUT_SCALE 4)
endif()
function(domvel_scaled_timeout seconds out)
  math(EXPR scaled "${seconds} * ${DOMVEL_TEST_TIMEOUT_SCALE}")
  set(${out} ${scaled} PARENT_SCOPE)
endfunction()

# domvel_add_test(<name> SOURCES ... [LIBS ...] [TIMEOUT s] [LABELS ...])
# One Qt Test executable per area, run headless with a pinned Polish locale.
function(domvel_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  domvel_target_defaults(${name})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  target_compile_definitions(${name} PRIVATE DOMVEL_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  domvel_scaled_timeout(${T_TIMEOUT} T_TIMEOUT)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=pl_PL.UTF-8;LANG=pl_PL.UTF-8;DOMVEL_NONINTERACTIVE=1;${DOMVEL_SANITIZER_ENVIRONMENT}"
    LABELS "${T_LABELS}")
endfunction()
