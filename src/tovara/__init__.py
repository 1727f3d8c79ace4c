"""tovara: a typed Python interface to the raylib game library."""
