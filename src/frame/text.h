// Text arguments: file names and other strings handed to raylib as UTF-8.
#pragma once

#include <Python.h>

#include "frame/ref.h"

namespace tovara {

// True when `argument` is exactly a str, or None; otherwise raises the
// argument-type TypeError naming `parameter` and str.
bool check_str_or_none(PyObject* argument, const char* parameter);

// The strict UTF-8 encoding of a str, as bytes that raylib reads up to their
// first NUL. None raises the AttributeError its missing encode method would;
// text holding a NUL raises ValueError, as CPython's own file APIs do: raylib
// would see only the text before it, for a file name another file. Returns
// null with an exception set.
Ref encode_utf8(PyObject* text);

}  // namespace tovara
