# The course disc: `cmake --build <build> --target course-disc` writes <build>/pellin-course.iso,
# an ISO 9660 image (Rock Ridge and Joliet) of the demo course with PellinStart at its root and,
# in bin/, the player as a bundle that runs on a plain Debian 12 desktop without Qt or libmpv:
# the programs with run paths relative to $ORIGIN, the media engine module they load at run time,
# the libraries they need that such a desktop lacks, and the Qt platform plugins for xcb and offscreen (disc/make-disc.cmake says how).
find_program(XORRISO xorriso REQUIRED)
find_program(PATCHELF patchelf REQUIRED)

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

add_custom_target(course-disc
  COMMAND ${CMAKE_COMMAND}
          -D PLAYER=$<TARGET_FILE:PellinPlayer>
          -D LAUNCHER=$<TARGET_FILE:PellinStart>
          -D ENGINE_MODULE=$<TARGET_FILE:pellin_libmpv>
          -D XCB_PLUGIN=${qt_platforms}/libqxcb.so
          -D OFFSCREEN_PLUGIN=${qt_platforms}/libqoffscreen.so
          -D COURSE=${PELLIN_DEMO_COURSE}
          -D SYSTEM_LIBRARIES=${CMAKE_CURRENT_SOURCE_DIR}/disc/system-libraries.txt
          -D STAGE=${CMAKE_CURRENT_BINARY_DIR}/disc-stage
          -D IMAGE=${PELLIN_DISC_IMAGE}
          -D XORRISO=${XORRISO}
          -D PATCHELF=${PATCHELF}
          -D STRIP=${CMAKE_STRIP}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/disc/make-disc.cmake
  USES_TERMINAL VERBATIM)
add_dependencies(course-disc demo-course PellinPlayer PellinStart pellin_libmpv)
