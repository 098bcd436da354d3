# Every target includes a header by its folder ("engine/PageStore.h"), found
# through an include root of the target's own that holds only its folder (a
# link to it): a library sees its own headers and those of the libraries it
# links, so an include against the layers does not compile. Library targets
# are noted for the layering check (tests/layering).
function(domvel_own_include_root target)
  file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
  set(root "${PROJECT_BINARY_DIR}/include/${target}")
  get_filename_component(parent "${root}/${folder}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  if(NOT EXISTS "${root}/${folder}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${root}/${folder}" SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE "${root}")
  else()
    target_include_directories(${target} PUBLIC "${root}")
  endif()
  if(type MATCHES "LIBRARY$")
    set_property(GLOBAL APPEND PROPERTY DOMVEL_LIBRARIES ${target})
    set_property(TARGET ${target} PROPERTY DOMVEL_FOLDER "${folder}")
  endif()
endfunction()

# Common settings for the project's own targets.
function(domvel_target_defaults target)
  domvel_own_include_root(${target})
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

# The layer table, from the link lines: for each library of the project its
# folder, the folders it may include (its own and those of the libraries it
# links, through their public usage) and the Qt modules it links. Written at
# the end of the configuration for the layering check (tests/layering), so
# that the table exists once, in the CMakeLists.
function(_domvel_usage_closure item out)
  set(seen ${${out}})
  if(item IN_LIST seen OR item MATCHES "^\\$<" OR NOT TARGET ${item})
    return()
  endif()
  list(APPEND seen ${item})
  get_target_property(usage ${item} INTERFACE_LINK_LIBRARIES)
  if(usage)
    foreach(dep ${usage})
      _domvel_usage_closure(${dep} seen)
    endforeach()
  endif()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(domvel_write_layer_table file)
  get_property(libraries GLOBAL PROPERTY DOMVEL_LIBRARIES)
  set(text "# Generated by cmake/DomvelTargets.cmake from the link lines.\n")
  string(APPEND text "set(layers ${libraries})\n")
  foreach(library ${libraries})
    get_target_property(folder ${library} DOMVEL_FOLDER)
    set(closure "")
    get_target_property(own ${library} LINK_LIBRARIES)
    if(NOT own)
      set(own "")
    endif()
    get_target_property(usage ${library} INTERFACE_LINK_LIBRARIES)
    if(usage)
      list(APPEND own ${usage})
    endif()
    foreach(dep ${own})
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" dep "${dep}")
      _domvel_usage_closure(${dep} closure)
    endforeach()
    set(may "${folder}")
    set(qt "")
    foreach(dep ${closure})
      if(dep MATCHES "^Qt6::(.*)$")
        list(APPEND qt ${CMAKE_MATCH_1})
      elseif(dep IN_LIST libraries)
        get_target_property(depFolder ${dep} DOMVEL_FOLDER)
        list(APPEND may "${depFolder}")
      endif()
    endforeach()
    list(REMOVE_DUPLICATES may)
    list(REMOVE_DUPLICATES qt)
    # Its files, relative to the project (generated ones are not checked).
    get_target_property(sourceDir ${library} SOURCE_DIR)
    get_target_property(sources ${library} SOURCES)
    if(NOT sources)
      get_target_property(sources ${library} INTERFACE_SOURCES)
    endif()
    set(files "")
    foreach(source ${sources})
      if(NOT IS_ABSOLUTE "${source}")
        set(source "${sourceDir}/${source}")
      endif()
      file(RELATIVE_PATH relative "${PROJECT_SOURCE_DIR}" "${source}")
      if(NOT relative MATCHES "^\\.\\.")
        list(APPEND files "${relative}")
      endif()
    endforeach()
    string(APPEND text "set(${library}_dir \"${folder}\")\nset(${library}_may \"${may}\")\n"
      "set(${library}_qt \"${qt}\")\nset(${library}_files \"${files}\")\n")
  endforeach()
  file(WRITE "${file}" "${text}")
endfunction()
