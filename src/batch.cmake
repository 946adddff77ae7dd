# Sources of the batch windows and their core parts.
target_sources(marivane_core PRIVATE
    creation/modBatch.cpp
    manage/modPostList.cpp
)
target_sources(marivane_gui PRIVATE
    creation/frmBatch.cpp
    creation/frmBatchURLs.cpp
    manage/frmPostManager.cpp
)
