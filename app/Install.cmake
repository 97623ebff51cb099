# `cmake --install BUILD [--prefix DIR]` puts everything that belongs to the program into one
# folder, DIR/lib/plotalon: the program, hilfe.txt and the tools (plotalon-convert,
# plotalon-view, plotalon-send and the simulated plotter plotalon-plotter-sim). The
# program keeps its settings (main.ini, vorspann.plt, nachspann.plt) beside itself, so that
# folder must be one its user may write: the prefix defaults to the user's own ~/.local, not
# to a system-wide folder. DIR/bin gets links to the programs, and the desktop finds
# the program through DIR/share/applications/plotalon.desktop with its icon in the icon theme.
# A first install brings the starting settings (main.ini); reinstalling replaces the programs
# and hilfe.txt and leaves the settings files alone.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND DEFINED ENV{HOME})
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix" FORCE)
endif()

# The tools are defined after this folder, so the rules are made once the whole project is
# read, in one place and in the order they must run: files first, then links and menu entry.
function(plotalon_install)
  set(app ${CMAKE_SOURCE_DIR}/app)
  set(folder lib/plotalon)
  if(NOT TARGET plotalon)
    return()
  endif()
  set(tools plotalon)
  foreach(tool plotalon-convert plotalon-view plotalon-send plotalon-plotter-sim)
    if(TARGET ${tool})
      list(APPEND tools ${tool})
    endif()
  endforeach()
  install(TARGETS ${tools} DESTINATION ${folder})
  install(FILES ${app}/hilfe.txt DESTINATION ${folder})
  foreach(size 32 64 128)
    install(FILES ${app}/desktop/plotalon-${size}.png
      DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME plotalon.png)
  endforeach()
  # At install time, so that links and menu entry name the prefix given to `cmake --install`.
  install(CODE "
    set(dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    file(MAKE_DIRECTORY \"\${dir}/bin\")
    foreach(tool ${tools})
      file(REMOVE \"\${dir}/bin/\${tool}\")
      file(CREATE_LINK \"../${folder}/\${tool}\" \"\${dir}/bin/\${tool}\" SYMBOLIC)
    endforeach()
    if(NOT EXISTS \"\${dir}/${folder}/main.ini\")
      file(INSTALL \"${app}/main.ini\" DESTINATION \"\${dir}/${folder}\")
    endif()
    set(PLOTALON_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${folder}/plotalon\")
    configure_file(\"${app}/desktop/plotalon.desktop.in\"
                   \"\${dir}/share/applications/plotalon.desktop\" @ONLY)
  ")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL plotalon_install)
