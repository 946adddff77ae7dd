# Sources of the batch windows and their core parts.
