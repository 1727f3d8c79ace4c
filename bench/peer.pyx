# cython: language_level=3
# Cython's peers for bench/compare.py: the same calls made through Cython's own
# method and function objects. The bodies match the probe's Widget.triple.

cdef class Peer:
    def play(self):
        pass

    @staticmethod
    def triple(first, second, third):
        return (first, second, third)
