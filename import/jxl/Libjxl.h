// libjxl, opened when the first JPEG XL picture is decoded rather than when the game starts.
#pragma once

#include <jxl/decode.h>
#include <jxl/resizable_parallel_runner.h>

namespace morvane::jxl {

// Every libjxl function the decoder calls, the decoder's own (libjxl) and its threads'
// (libjxl_threads). Each is a pointer of the function's own name and type in this namespace, so
// the decoder's code calls it as it would call the library, and the game links nothing of
// libjxl: starting the game loads neither it nor what it brings.
// clang-format off
#define MORVANE_LIBJXL_CALLS(call) \
    call(JxlDecoderCloseInput) \
    call(JxlDecoderCreate) \
    call(JxlDecoderDestroy) \
    call(JxlDecoderGetBasicInfo) \
    call(JxlDecoderGetColorAsEncodedProfile) \
    call(JxlDecoderGetColorAsICCProfile) \
    call(JxlDecoderGetICCProfileSize) \
    call(JxlDecoderImageOutBufferSize) \
    call(JxlDecoderProcessInput) \
    call(JxlDecoderSetCoalescing) \
    call(JxlDecoderSetImageOutBuffer) \
    call(JxlDecoderSetInput) \
    call(JxlDecoderSetKeepOrientation) \
    call(JxlDecoderSetParallelRunner) \
    call(JxlDecoderSetPreferredColorProfile) \
    call(JxlDecoderSubscribeEvents) \

#define MORVANE_LIBJXL_THREADS_CALLS(call) \
    call(JxlResizableParallelRunner) \
    call(JxlResizableParallelRunnerCreate) \
    call(JxlResizableParallelRunnerDestroy) \
    call(JxlResizableParallelRunnerSetThreads) \
    call(JxlResizableParallelRunnerSuggestThreads)

// clang-format on

#define MORVANE_LIBJXL_POINTER(name) inline decltype(&::name) name = nullptr;
MORVANE_LIBJXL_CALLS(MORVANE_LIBJXL_POINTER)
MORVANE_LIBJXL_THREADS_CALLS(MORVANE_LIBJXL_POINTER)
#undef MORVANE_LIBJXL_POINTER

// Opens libjxl and libjxl_threads and finds their functions, the first time it is asked;
// whether they are all there.
bool libjxlOpened();

} // namespace morvane::jxl
