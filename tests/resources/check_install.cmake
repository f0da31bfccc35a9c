file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
foreach(f ${LIBDIR}/q900viewer/viewer ${LIBDIR}/q900viewer/q900sim
          ${LIBDIR}/q900viewer/q900ctl bin/q900ctl
          ${LIBDIR}/q900viewer/config.ini ${LIBDIR}/q900viewer/Q910LCD.zmp
          ${LIBDIR}/q900viewer/segs/7a.bmp
          ${LIBDIR}/q900viewer/Q910.jpg ${LIBDIR}/q900viewer/logo.jpg bin/q900viewer
          share/applications/org.q900viewer.Viewer.desktop
          share/metainfo/org.q900viewer.Viewer.metainfo.xml
          share/icons/hicolor/128x128/apps/q900viewer.png
          share/doc/q900viewer/manual/index.md
          share/doc/q900viewer/screenshots/help-window.png)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
# The command-line tool's launcher on the PATH starts the tool of the program folder.
execute_process(COMMAND ${PREFIX}/bin/q900ctl --version RESULT_VARIABLE rc
                OUTPUT_VARIABLE version ERROR_VARIABLE version)
if(NOT rc EQUAL 0 OR NOT version MATCHES "^q900ctl [0-9]")
  message(FATAL_ERROR "the installed q900ctl launcher does not start the tool: ${version}")
endif()
file(REMOVE_RECURSE ${PREFIX})
