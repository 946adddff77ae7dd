# Start-up against a minimal Qt Widgets program, and the manage and send windows over many
# posts against a few; startup.sh and scale.sh run them.
add_executable(startup_marivane startup_marivane.cpp FirstPaint.h)
target_link_libraries(startup_marivane PRIVATE marivane_gui)
add_executable(startup_peer startup_peer.cpp FirstPaint.h)
target_link_libraries(startup_peer PRIVATE marivane_flags Qt6::Widgets)
add_executable(scale_windows scale_windows.cpp FirstPaint.h)
target_link_libraries(scale_windows PRIVATE marivane_gui)
