// Pictures decoded from streams over global memory, as the skin loader reads them.
#include "PictureStream.h"
#include "SampleJpeg.h"

#include "platform/gdi32.h"
#include "platform/kernel32.h"
#include "platform/ole2.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

using namespace win32test;

namespace {

std::vector<std::uint8_t> Jpeg() {
    return {std::begin(sample::kFourBlocksJpeg), std::end(sample::kFourBlocksJpeg)};
}

void ExpectNear(COLORREF actual, std::uint32_t rgb, int tolerance) {
    EXPECT_NEAR(GetRValue(actual), static_cast<int>((rgb >> 16) & 0xFF), tolerance);
    EXPECT_NEAR(GetGValue(actual), static_cast<int>((rgb >> 8) & 0xFF), tolerance);
    EXPECT_NEAR(GetBValue(actual), static_cast<int>(rgb & 0xFF), tolerance);
}

TEST(OleLoadPicture, DecodesAJpegWithItsSizeAndColours) {
    IPicture* picture = nullptr;
    ASSERT_EQ(LoadPicture(Jpeg(), &picture), S_OK);
    ASSERT_NE(picture, nullptr);
    SHORT type = 0;
    EXPECT_EQ(picture->get_Type(&type), S_OK);
    EXPECT_EQ(type, PICTYPE_BITMAP);
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    EXPECT_EQ(picture->get_Width(&width), S_OK);
    EXPECT_EQ(picture->get_Height(&height), S_OK);
    // 16 pixels at 96 dots per inch, in hundredths of a millimetre.
    EXPECT_EQ(width, 423);
    EXPECT_EQ(height, 423);

    OLE_HANDLE handle = 0;
    ASSERT_EQ(picture->get_Handle(&handle), S_OK);
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 16);

    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ASSERT_NE(old, nullptr);
    struct Probe {
        int x, y;
        std::uint32_t rgb;
    };
    const Probe probes[] = {
        {0, 0, 0xC03020u}, {7, 7, 0xC03020u},  {8, 0, 0x2040E0u}, {15, 7, 0x2040E0u},
        {0, 8, 0x30B040u}, {7, 15, 0x30B040u}, {8, 8, 0x808080u}, {15, 15, 0x808080u},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        ExpectNear(GetPixel(dc, p.x, p.y), p.rgb, 4);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(picture->Release(), 0u);
}

// Every cut that ends before the first scan's data leaves no picture to show.
TEST(OleLoadPicture, ATruncatedJpegFails) {
    const auto jpeg = Jpeg();
    const std::uint8_t startOfScan[] = {0xFF, 0xDA};
    const auto scan =
        std::search(jpeg.begin(), jpeg.end(), std::begin(startOfScan), std::end(startOfScan));
    ASSERT_NE(scan, jpeg.end());
    const auto scanAt = static_cast<std::size_t>(scan - jpeg.begin());
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{4},
                             std::size_t{20}, std::size_t{100}, scanAt, scanAt + 4}) {
        std::vector<std::uint8_t> cut(jpeg.begin(),
                                      jpeg.begin() + static_cast<std::ptrdiff_t>(size));
        IPicture* picture = nullptr;
        EXPECT_TRUE(FAILED(LoadPicture(cut, &picture)))
            << size << " of " << jpeg.size() << " bytes";
        EXPECT_EQ(picture, nullptr) << size;
        if (picture) {
            picture->Release();
        }
    }
}

TEST(OleLoadPicture, RefusesAnInterfaceAPictureLacks) {
    const auto jpeg = Jpeg();
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(BlockWith(jpeg), TRUE, &stream), S_OK);
    void* object = nullptr;
    EXPECT_EQ(OleLoadPicture(stream, static_cast<LONG>(jpeg.size()), FALSE, IID_IStream, &object),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    stream->Release();
}

TEST(HGlobalStream, ReadsSeeksAndReportsItsSize) {
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(BlockWith({1, 2, 3, 4, 5}), TRUE, &stream), S_OK);
    BYTE buffer[8] = {};
    ULONG read = 0;
    EXPECT_EQ(stream->Read(buffer, 2, &read), S_OK);
    EXPECT_EQ(read, 2u);
    EXPECT_EQ(buffer[1], 2);
    LARGE_INTEGER move{};
    move.QuadPart = -1;
    ULARGE_INTEGER position{};
    EXPECT_EQ(stream->Seek(move, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 4u);
    // A short read at the end is no failure; the count tells.
    EXPECT_EQ(stream->Read(buffer, 8, &read), S_OK);
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(buffer[0], 5);
    move.QuadPart = -10;
    EXPECT_NE(stream->Seek(move, STREAM_SEEK_SET, &position), S_OK);
    STATSTG stat{};
    EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 5u);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(stream->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(stream->Release(), 0u);
}

TEST(HGlobalStream, FreesTheBlockOnlyWhenAsked) {
    for (BOOL deleteOnRelease : {TRUE, FALSE}) {
        HGLOBAL block = BlockWith({9, 9, 9});
        IStream* stream = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(block, deleteOnRelease, &stream), S_OK);
        stream->Release();
        EXPECT_EQ(GlobalSize(block) == 3u, deleteOnRelease == FALSE);
        if (!deleteOnRelease) {
            GlobalFree(block);
        }
    }
}

TEST(HGlobalStream, WritesGrowTheBlock) {
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    const BYTE data[3] = {7, 8, 9};
    ULONG written = 0;
    EXPECT_EQ(stream->Write(data, 3, &written), S_OK);
    EXPECT_EQ(written, 3u);
    LARGE_INTEGER start{};
    EXPECT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
    BYTE back[3] = {};
    ULONG read = 0;
    EXPECT_EQ(stream->Read(back, 3, &read), S_OK);
    EXPECT_EQ(read, 3u);
    EXPECT_EQ(back[0], 7);
    EXPECT_EQ(back[2], 9);
    STATSTG stat{};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 3u);
    stream->Release();
}

} // namespace
