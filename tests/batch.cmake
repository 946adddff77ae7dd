# Tests of the batch part.
