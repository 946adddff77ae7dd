# Sources of the creator windows and their core parts.
