# Sources of the creator windows and their core parts.
target_sources(marivane_core PRIVATE creation/modTags.cpp)
target_sources(marivane_gui PRIVATE
    app/modMain.cpp
    creation/frmCreator.cpp
    creation/frmEditGroups.cpp
    service/frmLinks.cpp
)
# The window classes derive from their generated Ui classes, so programs and tests that
# include a window header need the generated headers too.
target_include_directories(marivane_gui PUBLIC ${CMAKE_CURRENT_BINARY_DIR}/marivane_gui_autogen/include)
