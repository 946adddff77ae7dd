# Benchmarks of the service part.
add_executable(upload_bench upload_bench.cpp)
target_link_libraries(upload_bench PRIVATE marivane_testhome)
