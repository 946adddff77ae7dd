# Benchmarks of the limits part.
