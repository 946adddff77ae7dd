# Tests of the batch part.
marivane_test(creation/tst_modBatch.cpp)
marivane_test(manage/tst_modPostList.cpp)
marivane_test(creation/tst_frmBatch.cpp GUI)
marivane_test(creation/tst_frmBatchURLs.cpp GUI)
marivane_test(manage/tst_frmPostManager.cpp GUI)
