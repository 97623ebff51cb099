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
# read, in one place and in the order they must run. Every file and link goes through an
# install rule of its own, so that install_manifest.txt lists all of them for packagers and
# uninstall scripts.
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
  # A first install brings the starting settings; a later one keeps the user's.
  install(CODE "
    if(NOT EXISTS \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${folder}/main.ini\")
      file(INSTALL \"${app}/main.ini\" DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${folder}\")
    endif()
  ")
  plotalon_install_icons(${app}/desktop)

  # The links in bin are relative, so they are the same for every prefix: made here in the
  # build folder, they are installed as links.
  set(staged ${CMAKE_BINARY_DIR}/app/staged)
  file(MAKE_DIRECTORY ${staged}/bin)
  foreach(tool ${tools})
    file(CREATE_LINK ../${folder}/${tool} ${staged}/bin/${tool} SYMBOLIC)
    install(FILES ${staged}/bin/${tool} DESTINATION bin)
  endforeach()
  # The menu entry names the program by the prefix given to `cmake --install`, so it is
  # written at install time, beside the links, and then installed like any other file.
  install(CODE "
    set(PLOTALON_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${folder}/plotalon\")
    configure_file(\"${app}/desktop/plotalon.desktop.in\" \"${staged}/plotalon.desktop\" @ONLY)
  ")
  install(FILES ${staged}/plotalon.desktop DESTINATION share/applications)
endfunction()

# The icon as drawn (scalable) and, where the build could draw them, its PNG sizes.
function(plotalon_install_icons desktop)
  set(theme share/icons/hicolor)
  install(FILES ${desktop}/plotalon.svg DESTINATION ${theme}/scalable/apps)
  if(NOT TARGET plotalon_icons)
    return()
  endif()
  get_target_property(drawn plotalon_icons ICON_FOLDER)
  get_target_property(sizes plotalon_icons ICON_SIZES)
  foreach(size ${sizes})
    install(FILES ${drawn}/plotalon-${size}.png
      DESTINATION ${theme}/${size}x${size}/apps RENAME plotalon.png)
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL plotalon_install)
