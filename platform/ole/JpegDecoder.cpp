#include "JpegDecoder.h"
#include "platform/gdi32.h"
#include "platform/internal/dib.h"
#include "platform/internal/picture_limits.h"

#include <csetjmp>
#include <cstdio>

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

// The fourth byte of each pixel is filler that libjpeg sets; bitmaps here keep it zero. Blocks
// of a fixed count become vector instructions.
void ClearFiller(std::uint32_t* row, std::size_t width) {
    constexpr std::size_t kBlock = 8;
    std::size_t x = 0;
    for (; x + kBlock <= width; x += kBlock) {
        for (std::size_t k = 0; k < kBlock; ++k) {
            row[x + k] &= 0x00FFFFFFu;
        }
    }
    for (; x < width; ++x) {
        row[x] &= 0x00FFFFFFu;
    }
}

// Kept free of objects with destructors: a longjmp may leave it from any libjpeg call. What it
// makes is handed out through `bitmap` before the first call that may jump.
JpegStatus Decode(jpeg_decompress_struct& cinfo, ErrorManager& errors, const std::uint8_t* data,
                  std::size_t size, HBITMAP* bitmap) {
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
    const JDIMENSION width = cinfo.output_width;
    std::uint32_t* pixels = nullptr;
    *bitmap = platform::gdi::CreateBitmapForRows(static_cast<int>(width),
                                                 static_cast<int>(cinfo.output_height), &pixels);
    if (!*bitmap) {
        return JpegStatus::TooLarge;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        std::uint32_t* row = pixels + static_cast<std::size_t>(cinfo.output_scanline) * width;
        JSAMPROW samples = reinterpret_cast<JSAMPROW>(row);
        jpeg_read_scanlines(&cinfo, &samples, 1);
        ClearFiller(row, width);
    }
    jpeg_finish_decompress(&cinfo);
    return JpegStatus::Decoded;
}

} // namespace

JpegStatus DecodeJpeg(const std::uint8_t* data, std::size_t size, HBITMAP* bitmap) {
    *bitmap = nullptr;
    if (!data || size == 0 || size > 0x7FFFFFFFu) {
        return JpegStatus::Invalid;
    }
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnError;
    errors.pub.emit_message = OnMessage;
    const JpegStatus status = Decode(cinfo, errors, data, size, bitmap);
    jpeg_destroy_decompress(&cinfo);
    if (status != JpegStatus::Decoded && *bitmap) {
        DeleteObject(*bitmap);
        *bitmap = nullptr;
    }
    return status;
}

} // namespace platform::ole
