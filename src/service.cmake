# Sources of the service windows and their core parts.
