# Makes a course disc image; pellin-course-disc runs it with cmake -P and these variables:
#   PLAYER, LAUNCHER             the built PellinPlayer and PellinStart
#   DISC_START                   the disc's first program (pellin-disc-start)
#   ENGINE_MODULE                the media engine module the player loads at run time
#   XCB_PLUGIN, OFFSCREEN_PLUGIN the Qt platform plugins the player may load
#   COURSE                       the course folder (its bin/index.dat and the rest), only read
#   COURSE_BIN                   the name of the course's bin folder, in its own letter case
#   VOLID                        the image's volume id
#   LEAVE_OUT                    paths of the course (as on the disc) the image leaves out
#   SYSTEM_LIBRARIES             the libraries the disc takes from the student's system
#   STAND_INS                    the libraries the disc carries as stand-ins (make-stand-in)
#   CC                           the C compiler the stand-ins are made with
#   STAGE                        a scratch folder for the bundle
#   IMAGE                        the image to write
#   XORRISO, PATCHELF, STRIP, XZ the tools
#   PACK_CACHE                   a folder where packs of the runtime are kept (optional)
#
# The disc holds the course as it is, PellinStart at its root and, in bin/:
#   PellinPlayer                 run path $ORIGIN/lib
#   PellinStart                  the launcher, run path $ORIGIN/lib
#   qt.conf                      Qt's plugins are the ones in bin/plugins, never the system's
#   plugins/platforms/           xcb and offscreen, run path $ORIGIN/../../lib
#   lib/pellin-libmpv.so         the media engine module, which the player looks for in lib/
#   lib/                         every library the programs, plugins and the module need,
#                                except those of the system list; each with run path $ORIGIN so
#                                that libraries found through it find their own in lib/ as well
#   runtime.sha256               the runtime the launcher installs for the user: lib/ and
#                                plugins/, a line per file with its SHA-256, size and path
#   runtime.xz                   those files in the list's order as one xz stream, what the
#                                install reads
# The PellinStart at the root is the disc's first program (pellin-disc-start): it links only the
# system's C++ and xz libraries, installs the runtime for the user and runs bin/PellinStart with the libraries of
# the user's copy, so that a start with the runtime installed reads no Qt from the disc. Libraries are stored under the name the
# programs ask for (their soname), as plain files: the image has no links.
cmake_minimum_required(VERSION 3.25)

foreach(name PLAYER LAUNCHER DISC_START ENGINE_MODULE XCB_PLUGIN OFFSCREEN_PLUGIN COURSE VOLID
             SYSTEM_LIBRARIES STAGE IMAGE XORRISO PATCHELF STRIP XZ)
  if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
    message(FATAL_ERROR "make-disc: ${name} is not set")
  endif()
endforeach()

# One regular expression a line, matched against the names of the libraries; # begins a comment.
function(read_patterns file variable)
  file(STRINGS ${file} lines)
  set(patterns)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "#.*" "" line "${line}")
    string(STRIP "${line}" line)
    if(NOT line STREQUAL "")
      list(APPEND patterns "${line}")
    endif()
  endforeach()
  set(${variable} ${patterns} PARENT_SCOPE)
endfunction()
read_patterns(${SYSTEM_LIBRARIES} system_libraries)
set(stand_ins)
if(DEFINED STAND_INS AND NOT STAND_INS STREQUAL "")
  read_patterns(${STAND_INS} stand_ins)
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " shown)
    message(FATAL_ERROR "make-disc: ${shown} failed (${status})")
  endif()
endfunction()

# Copies an ELF file into the bundle with a run path of its own.
function(bundle source target runpath mode)
  file(COPY_FILE ${source} ${target})
  file(CHMOD ${target} PERMISSIONS ${mode})
  run(${PATCHELF} --set-rpath ${runpath} ${target})
endfunction()

set(program_mode OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                 WORLD_EXECUTE)
set(library_mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/bin/lib ${STAGE}/bin/plugins/platforms)

bundle(${PLAYER} ${STAGE}/bin/PellinPlayer "$ORIGIN/lib" "${program_mode}")
bundle(${LAUNCHER} ${STAGE}/bin/PellinStart "$ORIGIN/lib" "${program_mode}")
file(COPY_FILE ${DISC_START} ${STAGE}/PellinStart)
file(CHMOD ${STAGE}/PellinStart PERMISSIONS ${program_mode})
run(${STRIP} ${STAGE}/bin/PellinPlayer ${STAGE}/bin/PellinStart ${STAGE}/PellinStart)
foreach(plugin ${XCB_PLUGIN} ${OFFSCREEN_PLUGIN})
  get_filename_component(name ${plugin} NAME)
  bundle(${plugin} ${STAGE}/bin/plugins/platforms/${name} "$ORIGIN/../../lib" "${library_mode}")
endforeach()
file(WRITE ${STAGE}/bin/qt.conf "[Paths]\nPlugins = plugins\n")
get_filename_component(module_name ${ENGINE_MODULE} NAME)
bundle(${ENGINE_MODULE} ${STAGE}/bin/lib/${module_name} "$ORIGIN" "${library_mode}")

file(GET_RUNTIME_DEPENDENCIES
  EXECUTABLES ${PLAYER} ${LAUNCHER} ${DISC_START}
  MODULES ${XCB_PLUGIN} ${OFFSCREEN_PLUGIN} ${ENGINE_MODULE}
  PRE_EXCLUDE_REGEXES ${system_libraries}
  RESOLVED_DEPENDENCIES_VAR libraries
  UNRESOLVED_DEPENDENCIES_VAR unresolved
  CONFLICTING_DEPENDENCIES_PREFIX conflicting)
if(unresolved)
  message(FATAL_ERROR "make-disc: libraries not found on this system: ${unresolved}")
endif()
# The same library may be reached by two paths (/lib is /usr/lib on Debian); one copy is kept.
foreach(name IN LISTS conflicting_FILENAMES)
  list(GET conflicting_${name} 0 first)
  list(APPEND libraries ${first})
endforeach()

set(names)
foreach(library IN LISTS libraries)
  get_filename_component(name ${library} NAME)
  if(name IN_LIST names)
    continue()
  endif()
  list(APPEND names ${name})
  file(REAL_PATH ${library} file)
  set(stand_in FALSE)
  foreach(pattern IN LISTS stand_ins)
    if(name MATCHES "${pattern}")
      set(stand_in TRUE)
    endif()
  endforeach()
  if(stand_in)
    run(${CMAKE_CURRENT_LIST_DIR}/make-stand-in ${file} ${STAGE}/bin/lib/${name} ${CC})
    file(CHMOD ${STAGE}/bin/lib/${name} PERMISSIONS ${library_mode})
  else()
    bundle(${file} ${STAGE}/bin/lib/${name} "$ORIGIN" "${library_mode}")
  endif()
endforeach()

# Libraries that only the real ones behind stand-ins needed go again, until every library left
# is needed by a program, a plug-in, the engine module or another library left.
function(needed_of file variable)
  execute_process(COMMAND readelf -d ${file} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
  string(REGEX MATCHALL "\\(NEEDED\\)[^[]*\\[[^]]*\\]" entries "${dynamic}")
  set(needed)
  foreach(entry IN LISTS entries)
    string(REGEX REPLACE ".*\\[(.*)\\]" "\\1" soname "${entry}")
    list(APPEND needed ${soname})
  endforeach()
  set(${variable} ${needed} PARENT_SCOPE)
endfunction()
set(pruned TRUE)
while(pruned)
  set(pruned FALSE)
  file(GLOB elves ${STAGE}/PellinStart ${STAGE}/bin/PellinStart ${STAGE}/bin/PellinPlayer
       ${STAGE}/bin/plugins/platforms/*
       ${STAGE}/bin/lib/*)
  set(wanted ${module_name})
  foreach(elf IN LISTS elves)
    needed_of(${elf} needed)
    list(APPEND wanted ${needed})
  endforeach()
  foreach(name IN LISTS names)
    if(NOT name IN_LIST wanted AND EXISTS ${STAGE}/bin/lib/${name})
      file(REMOVE ${STAGE}/bin/lib/${name})
      set(pruned TRUE)
    endif()
  endforeach()
endwhile()
file(GLOB kept ${STAGE}/bin/lib/*)
list(LENGTH kept count)
message(STATUS "make-disc: ${count} libraries in bin/lib")

# The runtime's list, in the order the image stores the files, so that the install reads the
# disc in one pass.
file(GLOB_RECURSE runtime RELATIVE ${STAGE}/bin ${STAGE}/bin/lib/* ${STAGE}/bin/plugins/*)
list(SORT runtime)
set(runtime_list "")
foreach(path IN LISTS runtime)
  file(SHA256 ${STAGE}/bin/${path} sum)
  file(SIZE ${STAGE}/bin/${path} size)
  string(APPEND runtime_list "${sum} ${size} ${path}\n")
endforeach()
file(WRITE ${STAGE}/bin/runtime.sha256 "${runtime_list}")
# The same files one after another as one xz stream, which a new user's install reads instead:
# about a quarter of the bytes from the drive. The x86 filter packs machine code tighter; one
# thread makes one block, the smallest pack. Packing takes minutes, so a pack is kept in
# PACK_CACHE (when set) under the list's hash, which names its content exactly.
file(SHA256 ${STAGE}/bin/runtime.sha256 runtime_hash)
set(cached_pack "")
if(DEFINED PACK_CACHE AND NOT PACK_CACHE STREQUAL "")
  set(cached_pack ${PACK_CACHE}/runtime-${runtime_hash}.xz)
endif()
if(cached_pack AND EXISTS ${cached_pack})
  file(COPY_FILE ${cached_pack} ${STAGE}/bin/runtime.xz)
else()
  execute_process(COMMAND cat ${runtime} COMMAND ${XZ} --x86 --lzma2=preset=9e --threads=1 -c
                  WORKING_DIRECTORY ${STAGE}/bin OUTPUT_FILE ${STAGE}/bin/runtime.xz
                  RESULTS_VARIABLE statuses)
  foreach(status IN LISTS statuses)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "make-disc: packing the runtime failed (${statuses})")
    endif()
  endforeach()
  if(cached_pack)
    file(GLOB stale ${PACK_CACHE}/runtime-*.xz)
    if(stale)
      file(REMOVE ${stale})
    endif()
    file(MAKE_DIRECTORY ${PACK_CACHE})
    file(COPY_FILE ${STAGE}/bin/runtime.xz ${cached_pack}.new)
    file(RENAME ${cached_pack}.new ${cached_pack})
  endif()
endif()

# The course as it is, without what was asked to be left out, its bin folder named bin/ where
# PellinStart looks; then the bundle over it (its bin/PellinPlayer replaces one the course may
# carry).
set(course_args -map ${COURSE} /)
if(DEFINED COURSE_BIN AND NOT COURSE_BIN STREQUAL "" AND NOT COURSE_BIN STREQUAL "bin")
  list(APPEND course_args -mv /${COURSE_BIN} /bin --)
endif()
if(LEAVE_OUT)
  list(APPEND course_args -rm_r ${LEAVE_OUT} --)
endif()
file(REMOVE ${IMAGE}.new)
run(${XORRISO} -no_rc -report_about WARNING -outdev ${IMAGE}.new -volid ${VOLID}
    -joliet on ${course_args} -map ${STAGE} /)
file(RENAME ${IMAGE}.new ${IMAGE})
message(STATUS "make-disc: wrote ${IMAGE}")
