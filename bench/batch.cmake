# Benchmarks of the batch part.
