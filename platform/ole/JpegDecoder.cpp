#include "JpegDecoder.h"
#include "platform/internal/picture_limits.h"

#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>

namespace platform::ole {

namespace {

// Progressive images keep all coefficients in memory; beyond this they are refused.
constexpr long kMaxWorkingMemory = 512L * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// libjpeg reports damaged data as warnings (level -1) and carries on with grey blocks; a
// picture with made-up pixels is no picture, so warnings end the decode too.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0) {
        std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
    }
}

// Kept free of objects with destructors: a longjmp may leave it from any libjpeg call.
JpegStatus Decode(jpeg_decompress_struct& cinfo, ErrorManager& errors, const std::uint8_t* data,
                  std::size_t size, DecodedImage& image) {
    if (setjmp(errors.jump)) {
        return JpegStatus::Invalid;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxWorkingMemory;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        return JpegStatus::Invalid;
    }
    if (cinfo.image_width == 0 || cinfo.image_height == 0) {
        return JpegStatus::Invalid;
    }
    if (!platform::gdi::PictureSizeAllowed(cinfo.image_width, cinfo.image_height)) {
        return JpegStatus::TooLarge;
    }
    cinfo.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&cinfo);
    const std::size_t count = static_cast<std::size_t>(cinfo.output_width) * cinfo.output_height;
    image.pixels.reset(new (std::nothrow) std::uint32_t[count]);
    if (!image.pixels) {
        return JpegStatus::TooLarge;
    }
    image.width = static_cast<int>(cinfo.output_width);
    image.height = static_cast<int>(cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(
            &image.pixels[static_cast<std::size_t>(cinfo.output_scanline) * cinfo.output_width]);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    return JpegStatus::Decoded;
}

} // namespace

JpegStatus DecodeJpeg(const std::uint8_t* data, std::size_t size, DecodedImage& image) {
    if (!data || size == 0 || size > 0x7FFFFFFFu) {
        return JpegStatus::Invalid;
    }
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnError;
    errors.pub.emit_message = OnMessage;
    const JpegStatus status = Decode(cinfo, errors, data, size, image);
    jpeg_destroy_decompress(&cinfo);
    if (status != JpegStatus::Decoded) {
        image = DecodedImage{};
        return status;
    }
    // The fourth byte of each pixel is filler; bitmaps here keep it zero.
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
    for (std::size_t i = 0; i < count; ++i) {
        image.pixels[i] &= 0x00FFFFFFu;
    }
    return JpegStatus::Decoded;
}

} // namespace platform::ole
