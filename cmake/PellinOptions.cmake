# pellin_options: the compiler settings every target of the project links, so that one place
# decides the warnings and the Qt strictness macros. Warnings become errors with PELLIN_WERROR,
# which scripts/build (and so CI) turns on; a packager's plain configure only shows them.
add_library(pellin_options INTERFACE)
target_compile_options(pellin_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                                 -Wold-style-cast -Woverloaded-virtual
                                                 -Wnon-virtual-dtor -Wcast-qual
                                                 $<$<BOOL:${PELLIN_WERROR}>:-Werror>)
# g++ 12 reports overlapping copies inside std::string's own operator+ at -O3 (GCC bug 105651,
# mended in 13): a false report about the standard library, not about this code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(pellin_options INTERFACE -Wno-restrict)
endif()
target_compile_definitions(pellin_options INTERFACE
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH)

# pellin_strict_text: no implicit conversion between 8-bit strings and QString. The platform
# stand-ins and the core take it; the windows, which carry the system's own texts as plain
# literals in every handler, and the tests do not.
add_library(pellin_strict_text INTERFACE)
target_compile_definitions(pellin_strict_text INTERFACE QT_NO_CAST_FROM_ASCII
                                                        QT_NO_CAST_FROM_BYTEARRAY)

# pellin_sanitizer_options(NAME): a sanitizer build's program or module carries its sanitizer
# options itself (cmake/SanitizerOptions.cpp).
function(pellin_sanitizer_options name)
  if(PELLIN_SANITIZE)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/SanitizerOptions.cpp)
  endif()
endfunction()

# pellin_library(NAME STATIC|MODULE|INTERFACE [STRICT_TEXT] sources...): a library of the
# project with its options (for an INTERFACE library, the options of whatever links it).
# STRICT_TEXT adds pellin_strict_text to a library that compiles sources of its own.
function(pellin_library name kind)
  cmake_parse_arguments(L "STRICT_TEXT" "" "" ${ARGN})
  add_library(${name} ${kind} ${L_UNPARSED_ARGUMENTS})
  set(scope PRIVATE)
  if(kind STREQUAL "INTERFACE")
    set(scope INTERFACE)
  endif()
  target_link_libraries(${name} ${scope} pellin_options)
  if(kind STREQUAL "MODULE")
    pellin_sanitizer_options(${name})
  endif()
  if(L_STRICT_TEXT AND NOT kind STREQUAL "INTERFACE")
    target_link_libraries(${name} PRIVATE pellin_strict_text)
  endif()
endfunction()

# pellin_executable(NAME sources...): a program of the project with its options.
function(pellin_executable name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE pellin_options)
  pellin_sanitizer_options(${name})
endfunction()

# PELLIN_SANITIZE: a comma-separated list for -fsanitize (address,undefined or thread), for the
# sanitizer builds of scripts/test --sanitize; each goes to a build folder of its own.
set(PELLIN_SANITIZE "" CACHE STRING "Sanitizers to build with (-fsanitize=...), empty for none")
if(PELLIN_SANITIZE)
  target_compile_options(pellin_options INTERFACE -fsanitize=${PELLIN_SANITIZE}
                                                  -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(pellin_options INTERFACE -fsanitize=${PELLIN_SANITIZE})
else()
  # Optimised builds check buffer sizes in the C library's string and memory calls and guard the
  # stack of functions with arrays, as Debian hardens its own packages. The sanitizer builds
  # leave both out: their own checks take the place of these.
  target_compile_options(pellin_options INTERFACE
    "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>" -fstack-protector-strong)
endif()
