// libheif, opened when the first HEIF or AVIF picture is decoded rather than when the game starts.
#pragma once

#include <libheif/heif.h>

namespace morvane::heif {

// Every libheif function the decoder calls. Each is a pointer of the function's own name and
// type in this namespace, so the decoder's code calls it as it would call the library, and the
// game links nothing of libheif: starting the game loads neither it nor the codecs it brings.
// clang-format off
#if LIBHEIF_HAVE_VERSION(1, 19, 0)
#define MORVANE_LIBHEIF_NEWER_CALLS(call) call(heif_context_get_security_limits)
#else
#define MORVANE_LIBHEIF_NEWER_CALLS(call)
#endif
#define MORVANE_LIBHEIF_CALLS(call) \
    call(heif_context_alloc) \
    call(heif_context_free) \
    call(heif_context_get_primary_image_handle) \
    call(heif_context_read_from_memory_without_copy) \
    call(heif_context_set_maximum_image_size_limit) \
    call(heif_decode_image) \
    call(heif_decoding_options_alloc) \
    call(heif_decoding_options_free) \
    call(heif_image_get_bits_per_pixel_range) \
    call(heif_image_get_height) \
    call(heif_image_get_plane) \
    call(heif_image_get_width) \
    call(heif_image_handle_get_height) \
    call(heif_image_handle_get_ispe_height) \
    call(heif_image_handle_get_ispe_width) \
    call(heif_image_handle_get_luma_bits_per_pixel) \
    call(heif_image_handle_get_nclx_color_profile) \
    call(heif_image_handle_get_raw_color_profile) \
    call(heif_image_handle_get_raw_color_profile_size) \
    call(heif_image_handle_get_width) \
    call(heif_image_handle_has_alpha_channel) \
    call(heif_image_handle_is_premultiplied_alpha) \
    call(heif_image_handle_release) \
    call(heif_image_release) \
    call(heif_nclx_color_profile_free) \
    MORVANE_LIBHEIF_NEWER_CALLS(call)
// clang-format on

#define MORVANE_LIBHEIF_POINTER(name) inline decltype(&::name) name = nullptr;
MORVANE_LIBHEIF_CALLS(MORVANE_LIBHEIF_POINTER)
#undef MORVANE_LIBHEIF_POINTER

// Opens libheif and finds its functions, the first time it is asked; whether they are all there.
bool libheifOpened();

} // namespace morvane::heif
