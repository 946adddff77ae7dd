# Benchmarks of the service part.
