// Text arguments: file names and other strings handed to raylib as UTF-8.
#pragma once

#include <Python.h>

#include "frame/ref.h"

namespace tovara {

// True when `argument` is exactly a str, or None; otherwise raises the
// argument-type TypeError naming `parameter` and str.
bool check_str_or_none(PyObject* argument, const char* parameter);

// The strict UTF-8 encoding of a str, as bytes. None raises the AttributeError
// its missing encode method would. Returns null with an exception set.
Ref encode_utf8(PyObject* text);

}  // namespace tovara
