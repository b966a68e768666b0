# Install rules: the programs, their manual pages, the desktop integration of the
# window program (desktop entry, icon, MIME type, AppStream metainfo), its
# translations, the examples and the Debian documents. Standard GNUInstallDirs
# paths; the window's files only when the window program is built.
include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(RELAN_PKG_SRC ${PROJECT_SOURCE_DIR}/packaging)
set(RELAN_PKG_OUT ${PROJECT_BINARY_DIR}/packaging)
set(RELAN_APP_ID org.example.relan)
file(MAKE_DIRECTORY ${RELAN_PKG_OUT})

# The date of this build of the sources: SOURCE_DATE_EPOCH when set, otherwise the
# time of the last commit, so that the same sources give the same files.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE _relan_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE _relan_git_rc ERROR_QUIET)
    if(_relan_git_rc EQUAL 0 AND _relan_epoch MATCHES "^[0-9]+$")
      set(ENV{SOURCE_DATE_EPOCH} ${_relan_epoch})
    endif()
  endif()
endif()
string(TIMESTAMP RELAN_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP RELAN_RELEASE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)

find_program(RELAN_GZIP gzip REQUIRED)

# gzip -9n of a file made at configure time, as Debian wants manual pages and
# changelogs: no name and no time stamp in the archive.
function(relan_gzip_target target)
  set(outputs)
  foreach(src IN LISTS ARGN)
    get_filename_component(name ${src} NAME)
    add_custom_command(OUTPUT ${RELAN_PKG_OUT}/${name}.gz
                       COMMAND ${RELAN_GZIP} -9n -c ${src} > ${RELAN_PKG_OUT}/${name}.gz
                       DEPENDS ${src} VERBATIM)
    list(APPEND outputs ${RELAN_PKG_OUT}/${name}.gz)
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()

# A stripped install (cmake --install --strip, cpack with CPACK_STRIP_FILES) also
# drops the sections Debian's own stripping drops: the compiler's notes.
function(relan_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(CMAKE_OBJCOPY)
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${target}\"
                        COMMAND_ERROR_IS_FATAL ANY)
      endif()")
  endif()
endfunction()

# --- the command-line tool, always built
relan_install_program(relan-cli)
set(_relan_man ${RELAN_PKG_OUT}/relan-cli.1)
configure_file(${RELAN_PKG_SRC}/man/relan-cli.1.in ${RELAN_PKG_OUT}/relan-cli.1 @ONLY)

# --- the window program and its desktop integration, when Qt was found
if(TARGET relan)
  relan_install_program(relan)
  configure_file(${RELAN_PKG_SRC}/man/relan.1.in ${RELAN_PKG_OUT}/relan.1 @ONLY)
  list(APPEND _relan_man ${RELAN_PKG_OUT}/relan.1)

  install(FILES ${RELAN_PKG_SRC}/${RELAN_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${RELAN_PKG_SRC}/relan-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME relan.xml)
  configure_file(${RELAN_PKG_SRC}/${RELAN_APP_ID}.metainfo.xml.in
                 ${RELAN_PKG_OUT}/${RELAN_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${RELAN_PKG_OUT}/${RELAN_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The icon: the drawing, and bitmaps rendered from it when rsvg-convert is there.
  install(FILES ${RELAN_PKG_SRC}/relan.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  find_program(RELAN_RSVG_CONVERT rsvg-convert)
  if(RELAN_RSVG_CONVERT)
    set(_relan_pngs)
    foreach(size 48 128 256)
      set(png ${RELAN_PKG_OUT}/icons/${size}x${size}/relan.png)
      add_custom_command(OUTPUT ${png}
                         COMMAND ${CMAKE_COMMAND} -E make_directory ${RELAN_PKG_OUT}/icons/${size}x${size}
                         COMMAND ${RELAN_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${RELAN_PKG_SRC}/relan.svg
                         DEPENDS ${RELAN_PKG_SRC}/relan.svg VERBATIM)
      list(APPEND _relan_pngs ${png})
      install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(relan_icons ALL DEPENDS ${_relan_pngs})
  endif()

  # Translations of the window (.qm): whatever the variable RELAN_QM_FILES holds
  # here, and whatever was appended to the global property of the same name
  # (set_property(GLOBAL APPEND PROPERTY RELAN_QM_FILES ...) from any folder).
  get_property(_relan_qm_prop GLOBAL PROPERTY RELAN_QM_FILES)
  set(_relan_qm ${RELAN_QM_FILES} ${_relan_qm_prop})
  if(_relan_qm)
    list(REMOVE_DUPLICATES _relan_qm)
    install(FILES ${_relan_qm} DESTINATION ${CMAKE_INSTALL_DATADIR}/relan/translations)
  endif()
endif()

# --- manual pages, compressed
relan_gzip_target(relan_man ${_relan_man})
foreach(page IN LISTS _relan_man)
  get_filename_component(name ${page} NAME)
  install(FILES ${RELAN_PKG_OUT}/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# --- the examples
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/relan/examples
        FILES_MATCHING PATTERN "*.txt" PATTERN "*.rel")

# --- the documents every Debian package carries. The package's version is the
# project's version and this Debian revision (the package of the same sources made
# again, otherwise 1).
set(RELAN_DEB_REVISION 1)
set(RELAN_DEB_VERSION ${PROJECT_VERSION}-${RELAN_DEB_REVISION})
configure_file(${RELAN_PKG_SRC}/changelog.Debian.in ${RELAN_PKG_OUT}/changelog.Debian @ONLY)
relan_gzip_target(relan_changelog ${RELAN_PKG_OUT}/changelog.Debian)
install(FILES ${RELAN_PKG_OUT}/changelog.Debian.gz ${RELAN_PKG_SRC}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${RELAN_PKG_SRC}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME relan)
