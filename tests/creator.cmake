# Tests of the creator part.
