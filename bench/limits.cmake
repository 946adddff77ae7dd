# Benchmarks of the limits part.
# The folder batch's store loop, timed by batch_vs_cp.sh against cp of the same files.
add_executable(batch_vs_cp batch_vs_cp.cpp)
target_link_libraries(batch_vs_cp PRIVATE marivane_core)

# The same work as batch_vs_cp with nothing but the system calls: the format's own limit.
add_executable(format_floor format_floor.cpp)
target_link_libraries(format_floor PRIVATE marivane_flags)
