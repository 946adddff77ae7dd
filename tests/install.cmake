# What `cmake --install` and `cpack -G DEB` deliver, checked by the desktop's own validators.
set(check_install ${CMAKE_CURRENT_SOURCE_DIR}/install/check_install.sh)
add_test(NAME install_files COMMAND bash ${check_install} install ${CMAKE_BINARY_DIR} ${MARIVANE_APP_ID})
add_test(NAME package_deb
         COMMAND bash ${check_install} package ${CMAKE_BINARY_DIR} ${MARIVANE_APP_ID} ${PROJECT_VERSION})
set_tests_properties(install_files package_deb PROPERTIES TIMEOUT 180)
