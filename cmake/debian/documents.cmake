# Run by CPack once it has installed each package's files: adds the documents
# every Debian package carries. They belong to the packages alone, so no
# install rule puts them into a plain install or the device's tarball.
foreach(component plugin sdk)
    string(TOUPPER ${component} upper)
    set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
    set(share ${CPACK_TEMPORARY_DIRECTORY}/${component}/usr/share)
    foreach(document ${CPACK_UPDATETHEME_DEBIAN_DIR}/copyright ${CPACK_UPDATETHEME_CHANGELOG})
        get_filename_component(name ${document} NAME)
        configure_file(${document} ${share}/doc/${package}/${name} COPYONLY)
    endforeach()
    set(overrides ${CPACK_UPDATETHEME_DEBIAN_DIR}/lintian-overrides/${package})
    if(EXISTS ${overrides})
        configure_file(${overrides} ${share}/lintian/overrides/${package} COPYONLY)
    endif()
endforeach()
