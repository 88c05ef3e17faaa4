# Installing as Debian lays out a game:  cmake --install build [--strip] --prefix PREFIX
#
#   games/zerno-bros, games/zerno-sim
#   share/games/zerno-bros/assets          the layouts and pictures the program reads
#   share/games/zerno-bros/SOUND           the wave files
#   share/games/zerno-bros/readme.txt, whatsnew.txt
#   share/games/zerno-bros/manual          the illustrated manual (index.html, pictures/) F4 opens
#   share/applications/io.github.zerno_bros.desktop
#                                          named after the metainfo's id; runs
#                                          PREFIX/games/zerno-bros, so the menu starts the
#                                          program whether or not PREFIX/games is on the PATH
#   share/icons/hicolor/NxN/apps/zerno-bros.png  the icons, there only: the program finds them
#                                          there too
#   share/metainfo/io.github.zerno_bros.metainfo.xml
#   share/man/man6/zerno-bros.6.gz, zerno-sim.6.gz
#   share/doc/zerno-bros/copyright, changelog.gz
#
# The same rules make the Debian package (cmake/Package.cmake); `cmake --build build --target
# uninstall` takes the last install away again, with the folders it made.
set(ZERNO_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zerno-bros)
set(ZERNO_INSTALL_MAN6DIR ${CMAKE_INSTALL_MANDIR}/man6)
set(ZERNO_PACKAGING_DIR "${CMAKE_BINARY_DIR}/packaging")

# Every folder the rules below write into. The first rule notes which of them, and of their
# parents, the install makes; the uninstall removes those again once they are empty. The data
# and doc folders are the game's own and go whenever they are empty. A staged install (DESTDIR,
# as cpack makes) is no install to take back, and is not noted.
file(GLOB zerno_icon_sizes RELATIVE "${CMAKE_SOURCE_DIR}/assets/icons/hicolor" "${CMAKE_SOURCE_DIR}/assets/icons/hicolor/*")
set(zerno_install_folders ${ZERNO_INSTALL_GAMESDIR} ${ZERNO_INSTALL_DATADIR} ${ZERNO_INSTALL_DOCDIR}
    ${ZERNO_INSTALL_MAN6DIR} ${CMAKE_INSTALL_DATADIR}/applications ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${zerno_icon_sizes})
    list(APPEND zerno_install_folders ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()
install(CODE "
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
        set(made_list \"${CMAKE_BINARY_DIR}/install_folders.txt\")
        set(made)
        if(EXISTS \"\${made_list}\")
            file(STRINGS \"\${made_list}\" made)
        endif()
        get_filename_component(root \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
        list(APPEND made \"\${root}/${ZERNO_INSTALL_DATADIR}\" \"\${root}/${ZERNO_INSTALL_DOCDIR}\")
        foreach(folder ${zerno_install_folders})
            set(path \"\${root}/\${folder}\")
            while(NOT EXISTS \"\${path}\" AND NOT path STREQUAL \"/\")
                list(APPEND made \"\${path}\")
                get_filename_component(path \"\${path}\" DIRECTORY)
            endwhile()
        endforeach()
        list(REMOVE_DUPLICATES made)
        list(JOIN made \"\\n\" made)
        file(WRITE \"\${made_list}\" \"\${made}\\n\")
    endif()
")

install(TARGETS zerno-bros zerno-sim RUNTIME DESTINATION ${ZERNO_INSTALL_GAMESDIR})

file(GLOB zerno_layouts "${CMAKE_SOURCE_DIR}/assets/*.layout")
install(FILES ${zerno_layouts} DESTINATION ${ZERNO_INSTALL_DATADIR}/assets)
install(DIRECTORY assets/pictures DESTINATION ${ZERNO_INSTALL_DATADIR}/assets)
install(DIRECTORY SOUND/ DESTINATION ${ZERNO_INSTALL_DATADIR}/SOUND FILES_MATCHING PATTERN "*.wav")
foreach(text readme.txt whatsnew.txt)
    if(EXISTS "${CMAKE_SOURCE_DIR}/${text}")
        install(FILES ${text} DESTINATION ${ZERNO_INSTALL_DATADIR})
    endif()
endforeach()
install(DIRECTORY ${ZERNO_MANUAL_DIR}/ DESTINATION ${ZERNO_INSTALL_DATADIR}/manual)

install(DIRECTORY assets/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The metainfo's release notes are the first section of whatsnew.txt, its items as a list.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/whatsnew.txt")
function(zerno_add_release_note item)
    if(item)
        string(REPLACE "&" "&amp;" item "${item}")
        string(REPLACE "<" "&lt;" item "${item}")
        string(REPLACE ">" "&gt;" item "${item}")
        set(ZERNO_RELEASE_NOTES "${ZERNO_RELEASE_NOTES}          <li>${item}</li>\n" PARENT_SCOPE)
    endif()
endfunction()
file(STRINGS "${CMAKE_SOURCE_DIR}/whatsnew.txt" whatsnew_lines)
set(ZERNO_RELEASE_NOTES "")
set(section 0)
set(item "")
foreach(line IN LISTS whatsnew_lines)
    if(line MATCHES "^Version ")
        math(EXPR section "${section} + 1")
    elseif(section EQUAL 1 AND line MATCHES "^- (.*)")
        zerno_add_release_note("${item}")
        set(item "${CMAKE_MATCH_1}")
    elseif(section EQUAL 1 AND item AND line MATCHES "^ +(.*)")
        string(APPEND item " ${CMAKE_MATCH_1}")
    endif()
endforeach()
zerno_add_release_note("${item}")
configure_file(packaging/io.github.zerno_bros.metainfo.xml.in
               "${ZERNO_PACKAGING_DIR}/io.github.zerno_bros.metainfo.xml" @ONLY)
install(FILES "${ZERNO_PACKAGING_DIR}/io.github.zerno_bros.metainfo.xml" DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the change log go compressed, as Debian keeps them; -n leaves the name and
# the time out, so the same page always gives the same file.
set(zerno_compressed)
foreach(source docs/man/zerno-bros.6 docs/man/zerno-sim.6 packaging/changelog)
    get_filename_component(name ${source} NAME)
    add_custom_command(OUTPUT "${ZERNO_PACKAGING_DIR}/${name}.gz"
        COMMAND gzip -9nc "${CMAKE_SOURCE_DIR}/${source}" > "${ZERNO_PACKAGING_DIR}/${name}.gz"
        DEPENDS "${CMAKE_SOURCE_DIR}/${source}"
        VERBATIM)
    list(APPEND zerno_compressed "${ZERNO_PACKAGING_DIR}/${name}.gz")
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${zerno_compressed})
install(FILES "${ZERNO_PACKAGING_DIR}/zerno-bros.6.gz" "${ZERNO_PACKAGING_DIR}/zerno-sim.6.gz"
        DESTINATION ${ZERNO_INSTALL_MAN6DIR})
install(FILES packaging/copyright "${ZERNO_PACKAGING_DIR}/changelog.gz" DESTINATION ${ZERNO_INSTALL_DOCDIR})

# The desktop entry runs the installed program by its full path, which depends on the prefix
# given to `cmake --install`: it is written at install time. (The package is installed with its
# own prefix, /usr, into a staging DESTDIR.)
install(CODE "
    get_filename_component(prefix \"\${CMAKE_INSTALL_PREFIX}\" ABSOLUTE)
    set(ZERNO_PROGRAM \"\${prefix}/${ZERNO_INSTALL_GAMESDIR}/zerno-bros\")
    set(ZERNO_DATA_PATH \"\${prefix}/${ZERNO_INSTALL_DATADIR}\")
    configure_file(\"${CMAKE_SOURCE_DIR}/packaging/io.github.zerno_bros.desktop.in\"
                   \"${ZERNO_PACKAGING_DIR}/io.github.zerno_bros.desktop\" @ONLY)
    file(INSTALL \"${ZERNO_PACKAGING_DIR}/io.github.zerno_bros.desktop\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
")

# The files of the last install, for the uninstall: install_manifest.txt is also rewritten by
# every cpack run.
install(CODE "
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
        list(JOIN CMAKE_INSTALL_MANIFEST_FILES \"\\n\" files)
        file(WRITE \"${CMAKE_BINARY_DIR}/installed_files.txt\" \"\${files}\\n\")
    endif()
")

# Takes the last install away: its files, then the folders it made, now empty.
add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/installed_files.txt
            -DFOLDERS=${CMAKE_BINARY_DIR}/install_folders.txt -P ${CMAKE_SOURCE_DIR}/cmake/Uninstall.cmake
    VERBATIM)
