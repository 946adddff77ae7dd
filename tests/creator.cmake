# Tests of the creator part.
marivane_test(creation/tst_modTags.cpp)
marivane_test(app/tst_modMain.cpp GUI)
marivane_test(creation/tst_frmCreator.cpp GUI)
marivane_test(creation/tst_frmCreatorSettings.cpp GUI)
marivane_test(creation/tst_frmEditGroups.cpp GUI)
marivane_test(history/tst_frmHistory.cpp GUI)
marivane_test(service/tst_frmLinks.cpp GUI)
marivane_test(app/tst_ToolbarCompanion.cpp GUI LIBS marivane_sessionbus)
marivane_test(app/tst_ToolbarAbsent.cpp GUI)
marivane_test(app/tst_ToolbarStartUp.cpp GUI LIBS marivane_sessionbus)
# The real program under Xvfb, driven with xdotool.
add_test(NAME smoke_creator
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/smoke/smoke_creator.sh $<TARGET_FILE:marivane>
                 ${CMAKE_BINARY_DIR}/resources/linux/${MARIVANE_APP_ID}.desktop)
set_tests_properties(smoke_creator PROPERTIES TIMEOUT 120)
marivane_test(creation/tst_CreatorOpensWindows.cpp GUI)
