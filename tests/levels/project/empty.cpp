// A source for the libraries of the level check; nothing to compile.
