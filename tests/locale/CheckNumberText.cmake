# Fails on a number formatted or parsed through the C library's locale in the
# project's C++ sources: the program, its tests and benchmarks run under the
# Polish locale, where printf("%f") writes "1,5" and strtod stops at a point.
# Use std::to_chars / std::from_chars, QString::number / toDouble or
# QLocale::c() instead.
#   cmake -DSOURCE_DIR=<project> -DALLOWED=<allow-list> [-DEXTRA_FILE=<file>] -P CheckNumberText.cmake
#
# Line by line, without types: a printf-family call with a floating
# conversion in a format on its line, the strtod/atof/stod family, scanf
# with a floating conversion, std::to_string of a floating expression, and
# a standard stream in a file that never imbues the classic locale.
cmake_minimum_required(VERSION 3.25)

set(roots account app bench common controls engine engine_widgets forms fuzz protocol reports server service testing tests tour views)
set(B "(^|[^A-Za-z0-9_.>:]|std::)")  # a word boundary; std:: qualified or not
set(floatConversion "%[-+ #0'*0-9.]*[hlLqjzt]*[fFeEgGaA]")

# Each rule: a name, a regex that must match, and one that must also match
# (or "" when the first suffices).
set(rules printf strtod scanf to_string stream)
set(printf_what "printf-family call with a floating conversion")
set(printf_call "${B}(printf|fprintf|sprintf|snprintf|dprintf|vprintf|vfprintf|vsprintf|vsnprintf)[ \t]*\\(")
set(printf_also "\"[^\"]*${floatConversion}")
set(strtod_what "locale-dependent number parsing")
set(strtod_call "${B}(strtod|strtof|strtold|atof|stod|stof|stold)[ \t]*\\(")
set(strtod_also "")
set(scanf_what "scanf-family call with a floating conversion")
set(scanf_call "${B}(scanf|sscanf|fscanf|vscanf|vsscanf|vfscanf)[ \t]*\\(")
set(scanf_also "\"[^\"]*${floatConversion}")
set(to_string_what "std::to_string of a floating value")
set(to_string_call "${B}to_string[ \t]*\\(")
set(to_string_also "to_string[ \t]*\\(([^()]*[^A-Za-z0-9_])?(double|float|[0-9]+\\.[0-9]*|\\.[0-9]+|[0-9]e[-+]?[0-9])")
set(stream_what "standard stream without the classic locale")
set(stream_call "std::(cout|cerr|clog|wcout|wcerr|[io]?stringstream|[io]?fstream)([^A-Za-z0-9_]|$)")
set(stream_also "")

# path|rule|reason per line; the reason is required.
set(allowed "")
if(ALLOWED)
  file(STRINGS "${ALLOWED}" allowLines REGEX "^[^#]")
  foreach(line ${allowLines})
    if(NOT line MATCHES "^([^|]+)\\|([a-z_]+)\\|(.+)$")
      message(FATAL_ERROR "${ALLOWED}: not \"path|rule|reason\": ${line}")
    endif()
    list(APPEND allowed "${CMAKE_MATCH_1}|${CMAKE_MATCH_2}")
  endforeach()
endif()

set(findings "")
function(check_file path relative)
  file(READ "${path}" whole)
  set(imbued FALSE)
  if(whole MATCHES "imbue[ \t]*\\([ \t]*std::locale::classic[ \t]*\\([ \t]*\\)")
    set(imbued TRUE)
  endif()
  # Lines as a list: what CMake's lists treat specially (";", "[", "]") is
  # set aside first, so that no line splits or joins another.
  string(REPLACE ";" "<semicolon>" text "${whole}")
  string(REPLACE "[" "<lbracket>" text "${text}")
  string(REPLACE "]" "<rbracket>" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    # Comments say what the code does not: skip whole comment lines.
    if(line MATCHES "^[ \t]*(//|\\*|/\\*)")
      continue()
    endif()
    foreach(rule ${rules})
      if(NOT line MATCHES "${${rule}_call}")
        continue()
      endif()
      if(NOT "${${rule}_also}" STREQUAL "" AND NOT line MATCHES "${${rule}_also}")
        continue()
      endif()
      if(rule STREQUAL "stream" AND imbued)
        continue()
      endif()
      if("${relative}|${rule}" IN_LIST allowed)
        continue()
      endif()
      string(STRIP "${line}" shown)
      string(REPLACE "<semicolon>" "," shown "${shown}")  # ";" cannot be shown in a list
      string(REPLACE "<lbracket>" "[" shown "${shown}")
      string(REPLACE "<rbracket>" "]" shown "${shown}")
      list(APPEND findings "${relative}:${number}: ${${rule}_what}: ${shown}")
    endforeach()
  endforeach()
  set(findings "${findings}" PARENT_SCOPE)
endfunction()

set(checked 0)
foreach(root ${roots})
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
    "${SOURCE_DIR}/${root}/*.cpp" "${SOURCE_DIR}/${root}/*.h" "${SOURCE_DIR}/${root}/*.cc" "${SOURCE_DIR}/${root}/*.in")
  foreach(relative ${sources})
    if(relative MATCHES "^tests/fixtures/")
      continue()  # inputs, not code (the refusal fixtures among them)
    endif()
    check_file("${SOURCE_DIR}/${relative}" "${relative}")
    math(EXPR checked "${checked} + 1")
  endforeach()
endforeach()
if(EXTRA_FILE)
  check_file("${EXTRA_FILE}" "${EXTRA_FILE}")
endif()

if(checked LESS 200)
  message(FATAL_ERROR "only ${checked} source files found under ${SOURCE_DIR}: wrong folder?")
endif()
if(findings)
  list(LENGTH findings count)
  string(REPLACE ";" "\n  " listed "${findings}")
  message(FATAL_ERROR "${count} locale-dependent number text(s):\n  ${listed}\n"
    "Use std::to_chars/std::from_chars, QString::number/toDouble or QLocale::c(), or add "
    "\"path|rule|reason\" to ${ALLOWED}.")
endif()
message(STATUS "number text free of the C locale: ${checked} files checked")
