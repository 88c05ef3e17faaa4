# Installing like a Linux desktop game:  cmake --install build --prefix PREFIX
#
#   bin/zerno-bros, bin/zerno-sim
#   share/zerno-bros/assets          the layouts, pictures and icons the program reads
#   share/zerno-bros/SOUND           the wave files, read from the current folder at run time
#   share/zerno-bros/readme.txt, whatsnew.txt
#   share/zerno-bros/manual          the illustrated manual (index.html, pictures/) F4 opens
#   share/applications/zerno-bros.desktop   starts the program in share/zerno-bros (Path=), so
#                                           that it finds its sounds and text files
#   share/icons/hicolor/NxN/apps/zerno-bros.png
#   share/metainfo/io.github.zerno_bros.metainfo.xml
include(GNUInstallDirs)

set(ZERNO_SHARE ${CMAKE_INSTALL_DATADIR}/zerno-bros)

install(TARGETS zerno-bros zerno-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

file(GLOB zerno_layouts "${CMAKE_SOURCE_DIR}/assets/*.layout")
install(FILES ${zerno_layouts} DESTINATION ${ZERNO_SHARE}/assets)
install(DIRECTORY assets/pictures assets/icons DESTINATION ${ZERNO_SHARE}/assets)
install(DIRECTORY SOUND/ DESTINATION ${ZERNO_SHARE}/SOUND FILES_MATCHING PATTERN "*.wav")
foreach(text readme.txt whatsnew.txt)
    if(EXISTS "${CMAKE_SOURCE_DIR}/${text}")
        install(FILES ${text} DESTINATION ${ZERNO_SHARE})
    endif()
endforeach()
install(DIRECTORY ${ZERNO_MANUAL_DIR}/ DESTINATION ${ZERNO_SHARE}/manual)

install(DIRECTORY assets/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES packaging/io.github.zerno_bros.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The desktop entry names the folder the program starts in, which depends on the prefix given
# to `cmake --install`: it is written at install time, not when the build is configured.
install(CODE "
    set(ZERNO_SHARE_PATH \"\${CMAKE_INSTALL_PREFIX}/${ZERNO_SHARE}\")
    configure_file(\"${CMAKE_SOURCE_DIR}/packaging/zerno-bros.desktop.in\"
                   \"${CMAKE_BINARY_DIR}/packaging/zerno-bros.desktop\" @ONLY)
    file(INSTALL \"${CMAKE_BINARY_DIR}/packaging/zerno-bros.desktop\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
")
