// The generators, static methods that make a new image procedurally through
// raylib's GenImage* functions, and from_channel, which makes one of an
// existing image's channel. Every size reaches raylib only once checked.
#include "frame/dispatch.h"
#include "frame/ref.h"
#include "frame/text.h"
#include "hazards/hazards.h"
#include "image/internal.h"

namespace tovara::image {

constexpr const char* generated = "Image";

static PyObject* generate_with_color(int width, int height, ColorArg color) {
    if (!hazards::check_generated_size(width, height)) return nullptr;
    return adopt(GenImageColor(width, height, color->_raw));
}

const FunctionSpec generate_with_color_spec{.name = "generate_with_color",
                                            .body = function<generate_with_color>,
                                            .parameters = {"width", "height", "color"},
                                            .returns = generated};

static PyObject* generate_with_linear_gradient(int width, int height, int direction, ColorArg start, ColorArg end) {
    if (!hazards::check_generated_size(width, height)) return nullptr;
    return adopt(GenImageGradientLinear(width, height, direction, start->_raw, end->_raw));
}

const FunctionSpec generate_with_linear_gradient_spec{.name = "generate_with_linear_gradient",
                                                      .body = function<generate_with_linear_gradient>,
                                                      .parameters = {"width", "height", "direction", "start", "end"},
                                                      .returns = generated};

template <::Image (*generate)(int, int, float, ::Color, ::Color)>
PyObject* generate_with_density(int width, int height, float density, ColorArg inner, ColorArg outer) {
    if (!hazards::check_generated_size(width, height)) return nullptr;
    return adopt(generate(width, height, density, inner->_raw, outer->_raw));
}

const FunctionSpec generate_with_radial_gradient_spec{.name = "generate_with_radial_gradient",
                                                      .body = function<generate_with_density<GenImageGradientRadial>>,
                                                      .parameters = {"width", "height", "density", "inner", "outer"},
                                                      .returns = generated};
const FunctionSpec generate_with_square_gradient_spec{.name = "generate_with_square_gradient",
                                                      .body = function<generate_with_density<GenImageGradientSquare>>,
                                                      .parameters = {"width", "height", "density", "inner", "outer"},
                                                      .returns = generated};

static PyObject* generate_with_checked(int width, int height, int check_x, int check_y, ColorArg col1, ColorArg col2) {
    if (!hazards::check_generated_size(width, height)) return nullptr;
    // raylib divides pixel coordinates by the check sizes, for every pixel.
    if (width > 0 && height > 0 &&
        (!hazards::check_divisor(check_x, "check_x") || !hazards::check_divisor(check_y, "check_y")))
        return nullptr;
    return adopt(GenImageChecked(width, height, check_x, check_y, col1->_raw, col2->_raw));
}

const FunctionSpec generate_with_checked_spec{.name = "generate_with_checked",
                                              .body = function<generate_with_checked>,
                                              .parameters = {"width", "height", "check_x", "check_y", "col1", "col2"},
                                              .returns = generated};

static PyObject* generate_with_white_noise(int width, int height, float factor) {
    if (!hazards::check_generated_size(width, height)) return nullptr;
    return adopt(GenImageWhiteNoise(width, height, factor));
}

const FunctionSpec generate_with_white_noise_spec{.name = "generate_with_white_noise",
                                                  .body = function<generate_with_white_noise>,
                                                  .parameters = {"width", "height", "factor"},
                                                  .returns = generated};

static PyObject* generate_with_perlin_noise(int width, int height, int offset_x, int offset_y, float scale) {
    if (!hazards::check_generated_size(width, height)) return nullptr;
    return adopt(GenImagePerlinNoise(width, height, offset_x, offset_y, scale));
}

const FunctionSpec generate_with_perlin_noise_spec{.name = "generate_with_perlin_noise",
                                                   .body = function<generate_with_perlin_noise>,
                                                   .parameters = {"width", "height", "offset_x", "offset_y", "scale"},
                                                   .returns = generated};

static PyObject* generate_with_cellular(int width, int height, int tile_size) {
    // raylib divides the sizes by the tile size before anything else: by zero,
    // or the least int by -1, the division itself fails.
    if (!hazards::check_generated_size(width, height) || !hazards::check_cellular(width, height, tile_size))
        return nullptr;
    return adopt(GenImageCellular(width, height, tile_size));
}

const FunctionSpec generate_with_cellular_spec{.name = "generate_with_cellular",
                                               .body = function<generate_with_cellular>,
                                               .parameters = {"width", "height", "tile_size"},
                                               .returns = generated};

static PyObject* generate_with_text(int width, int height, StrOrNone text) {
    Ref encoded = encode_utf8(text.object);
    if (!encoded || !hazards::check_copied_pixels(width, height, PIXELFORMAT_UNCOMPRESSED_GRAYSCALE)) return nullptr;
    return adopt(GenImageText(width, height, PyBytes_AS_STRING(encoded.get())));
}

const FunctionSpec generate_with_text_spec{.name = "generate_with_text",
                                           .body = function<generate_with_text>,
                                           .parameters = {"width", "height", "text"},
                                           .returns = generated};

static PyObject* from_channel_body(ImageObject* self, int selected_channel) {
    return adopt(read_pixels(
        self, [&](const ::Image& pixels) { return hazards::image_from_channel(pixels, selected_channel); }));
}

const FunctionSpec from_channel_spec{
    .name = "from_channel", .body = method<from_channel_body>, .parameters = {"selected_channel"}, .returns = "Image"};

PyObject* from_channel_entry(ImageObject* self, int selected_channel, int skip_dispatch) {
    return run_overridable(
        module_frame, &ImageType, as_object(self), skip_dispatch, from_channel_spec,
        [&] { return from_channel_body(self, selected_channel); },
        [&](PyObject* override) -> PyObject* {
            Ref channel = Ref::steal(PyLong_FromLong(selected_channel));
            return channel ? expect_image(Ref::steal(PyObject_CallOneArg(override, channel.get()))) : nullptr;
        });
}

}  // namespace tovara::image
