// tovara.sigil.sigil: GlyphInfo, an opaque carrier of one raylib glyph record
// and a non-owning Image of its bitmap. Records with content are made only at
// C level, through the type's method table.
#include "sigil/sigil.h"

#include "docstrings/sigil.h"
#include "frame/module.h"
#include "frame/object.h"
#include "frame/pickling.h"
#include "frame/ref.h"
#include "image/image.h"

namespace tovara::sigil {

namespace {

bool populate(Module& module);
Module module_frame{module_path, "sigil", "src/tovara/sigil/sigil", populate, docstrings::sigil};

extern PyTypeObject GlyphInfoType;  // defined with its slots below

// The type is bound for its size check; only its table (new) is used.
PyTypeObject* ImageType;
const image::ImageTable* image_table;

GlyphInfoObject* as_glyph(PyObject* object) { return reinterpret_cast<GlyphInfoObject*>(object); }

PyObject* new_glyph(::GlyphInfo raw);
const GlyphInfoTable table{new_glyph};

// GlyphInfo(...): an empty record; the arguments are not looked at.
PyObject* new_empty(PyTypeObject* type, PyObject*, PyObject*) {
    GlyphInfoObject* glyph = allocate<GlyphInfoObject>(type, &table);
    if (glyph) glyph->_image = Py_NewRef(Py_None);
    return reinterpret_cast<PyObject*>(glyph);
}

PyObject* new_glyph(::GlyphInfo raw) {
    Ref glyph = Ref::steal(new_empty(&GlyphInfoType, nullptr, nullptr));
    if (!glyph) {
        module_frame.traceback(&GlyphInfoType, "new");
        return nullptr;
    }
    as_glyph(glyph.get())->_raw = raw;
    image::NewOptions borrowed{1, 0};
    PyObject* bitmap = image_table->new_(raw.image, &borrowed);
    if (!bitmap) {
        module_frame.traceback(&GlyphInfoType, "new");
        return nullptr;  // dropping the half-built record frees only the record
    }
    Py_SETREF(as_glyph(glyph.get())->_image, bitmap);
    return glyph.release();
}

int traverse(PyObject* self, visitproc visit, void* arg) {
    Py_VISIT(as_glyph(self)->_image);
    return 0;
}

int clear(PyObject* self) {
    Py_XSETREF(as_glyph(self)->_image, Py_NewRef(Py_None));
    return 0;
}

void release(PyObject* self) { Py_CLEAR(as_glyph(self)->_image); }

PyTypeObject GlyphInfoType =
    static_type("tovara.sigil.sigil.GlyphInfo", sizeof(GlyphInfoObject),
                Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC,
                {.new_ = new_empty, .dealloc = collected_dealloc<release>, .traverse = traverse, .clear = clear});

bool populate(Module& module) {
    return publish_type(module, &GlyphInfoType, &table) && add_pickling_refusal(module, &GlyphInfoType) &&
           image::import_image_type(ImageType, image_table) && bind_pickling_refusal(module, &GlyphInfoType);
}

}  // namespace

}  // namespace tovara::sigil

PyMODINIT_FUNC PyInit_sigil() { return tovara::sigil::module_frame.init(); }
