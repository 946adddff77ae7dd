# Benchmarks of the batch part.
add_executable(bench_batch bench_batch.cpp)
target_link_libraries(bench_batch PRIVATE marivane_gui marivane_testhome)
