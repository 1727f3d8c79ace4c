// Declarations of tovara.sigil.sigil: the GlyphInfo record, made at C level.
//
// Failure convention: new_ returns a new reference, or null with an exception set.
#pragma once

#include <Python.h>
#include <raylib.h>

#include "frame/module.h"

namespace tovara::sigil {

inline constexpr const char* module_path = "tovara.sigil.sigil";

struct GlyphInfoTable;

// The instance layout: other modules read _raw and _image at these places.
struct GlyphInfoObject {
    PyObject_HEAD
    const GlyphInfoTable* table;
    ::GlyphInfo _raw;
    PyObject* _image;  // an Image describing _raw.image without owning it, or None
};

struct GlyphInfoTable {
    // A new GlyphInfo holding `raw`, with a borrowing Image of its bitmap. The
    // glyph's pixel memory stays its owner's (the font's) and must outlive it.
    PyObject* (*new_)(::GlyphInfo raw);
};

inline bool import_glyph_info_type(PyTypeObject*& type, const GlyphInfoTable*& table) {
    return import_type<GlyphInfoObject>(module_path, "GlyphInfo", type, table);
}

}  // namespace tovara::sigil
