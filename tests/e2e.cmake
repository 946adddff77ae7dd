# One post from the clipboard to the fake service through the real program under Xvfb;
# screenshots of every window land in the build folder's artefacts.
add_test(NAME smoke_e2e
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/smoke/smoke_e2e.sh $<TARGET_FILE:marivane>
                 ${CMAKE_CURRENT_SOURCE_DIR}/service/fake_service.py
                 ${CMAKE_BINARY_DIR}/artefacts/screenshots)
set_tests_properties(smoke_e2e PROPERTIES TIMEOUT 180)
