# The course disc: `cmake --build <build> --target course-disc` writes <build>/pellin-course.iso,
# an ISO 9660 image (Rock Ridge and Joliet) of the demo course with PellinStart at its root and,
# in bin/, the player as a bundle that runs on a plain Debian 12 desktop without Qt or libmpv:
# the programs with run paths relative to $ORIGIN, the media engine module they load at run time,
# the libraries they need that such a desktop lacks, and the Qt platform plugins for xcb and offscreen (disc/make-disc.cmake says how).
find_program(XORRISO xorriso REQUIRED)
find_program(PATCHELF patchelf REQUIRED)
find_program(XZ xz REQUIRED)

# Debian's Qt exports no targets for its plugins; they lie in Qt's plugin folder.
set(qt_platforms ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/platforms)
foreach(plugin libqxcb.so libqoffscreen.so)
  if(NOT EXISTS ${qt_platforms}/${plugin})
    message(FATAL_ERROR "The Qt platform plugin ${qt_platforms}/${plugin} is missing "
                        "(package qt6-qpa-plugins)")
  endif()
endforeach()

set(PELLIN_DISC_IMAGE ${CMAKE_BINARY_DIR}/pellin-course.iso CACHE FILEPATH
    "Where the course disc image is written")

# The author's command, <build>/pellin-course-disc, writes the disc of any course folder with
# this build's player; the demo disc is made through it.
set(PELLIN_COURSE_DISC ${CMAKE_BINARY_DIR}/pellin-course-disc)
configure_file(disc/pellin-course-disc.in ${CMAKE_CURRENT_BINARY_DIR}/pellin-course-disc.in
               @ONLY)
file(GENERATE OUTPUT ${PELLIN_COURSE_DISC}
     INPUT ${CMAKE_CURRENT_BINARY_DIR}/pellin-course-disc.in
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                      WORLD_EXECUTE)

# The demo generator's notes of how it encoded the videos stay off the disc.
add_custom_target(course-disc
  COMMAND ${PELLIN_COURSE_DISC} --volid PELLIN_DEMO --leave-out /.videos ${PELLIN_DEMO_COURSE}
          ${PELLIN_DISC_IMAGE}
  USES_TERMINAL VERBATIM)
add_dependencies(course-disc demo-course PellinPlayer PellinStart pellin-disc-start pellin_libmpv)
set_target_properties(course-disc PROPERTIES PELLIN_IMAGE ${PELLIN_DISC_IMAGE})
