# Tests of the creator part.
marivane_test(creation/tst_modTags.cpp)
marivane_test(app/tst_modMain.cpp GUI)
marivane_test(creation/tst_frmCreator.cpp GUI)
marivane_test(creation/tst_frmCreatorSettings.cpp GUI)
marivane_test(creation/tst_frmEditGroups.cpp GUI)
marivane_test(history/tst_frmHistory.cpp GUI)
marivane_test(service/tst_frmLinks.cpp GUI)
