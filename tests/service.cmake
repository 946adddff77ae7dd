# Tests of the service part.
