// The S-record reader, the hex helper, loading into the session, and the image checksum.
#include "DevsimProcess.h"
#include "IspSession.h"
#include "S19Reader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>

namespace {

using nerith::test::TempFolder;

struct Loaded {
    int result = -1;
    std::vector<BYTE> image = std::vector<BYTE>(0x10000, 0xFF);
    std::vector<BYTE> pageMap = std::vector<BYTE>(1024, 0);

    std::set<int> MarkedPages() const {
        std::set<int> pages;
        for (int i = 0; i < 1024; ++i) {
            if (pageMap[i]) {
                EXPECT_EQ(pageMap[i], 0xFF);
                pages.insert(i);
            }
        }
        return pages;
    }
    // Addresses whose byte is no longer 0xFF.
    std::set<DWORD> Written() const {
        std::set<DWORD> written;
        for (DWORD a = 0; a < 0x10000; ++a) {
            if (image[a] != 0xFF) {
                written.insert(a);
            }
        }
        return written;
    }
};

Loaded Read(const TempFolder& folder, const std::string& text) {
    const std::string path = folder.File("image.s19");
    std::ofstream(path, std::ios::binary) << text;
    Loaded loaded;
    loaded.result = ReadS19File(path.c_str(), loaded.image.data(), loaded.pageMap.data());
    return loaded;
}

std::set<DWORD> Range(DWORD first, DWORD last) {
    std::set<DWORD> range;
    for (DWORD a = first; a <= last; ++a) {
        range.insert(a);
    }
    return range;
}

TEST(ReadS19File, RecordsLoadAsTheReaderDefinesThem) {
    struct Case {
        const char* what;
        std::string text;
        std::set<DWORD> written;
        std::set<int> pages;
    };
    const std::string sixteen = "S1137000000102030405060708090A0B0C0D0E0F64\r\n";
    const Case cases[] = {
        {"16 data bytes at 0x7000", sixteen, Range(0x7000, 0x700F), {448}},
        {"a run across a page border",
         "S10B703C0102030405060708B8\r\n",
         Range(0x703C, 0x7043),
         {448, 449}},
        {"lower-case address digits", "S1047abc1122\n", {0x7ABC}, {0x7ABC / 64}},
        {"non-hex address reads as 0", "S1047G001122\n", {0}, {0}},
        {"any first character", "X1047000AA00\n", {0x7000}, {448}},
        {"S0, S5, S9 and S2 are skipped",
         "S0030000FC\nS5030001FB\nS9030000FC\nS2050070000089\n",
         {},
         {}},
        {"a wrong checksum loads", "S1047000AB00\n", {0x7000}, {448}},
        {"a count of 3 has no data", "S1037000FF\n", {}, {}},
        {"a count below 3 has no data", "S1017000\n", {}, {}},
        {"count claims more than the line holds", "S1107000AABB\n", {}, {}},
        {"lower-case count claims more than the line holds", "S10a7000AABBCCDDEEFF1122\n", {}, {}},
        {"too short for an address", "S104\n", {}, {}},
        {"data past 0xFFFF is dropped", "S106FFFE0102030400\n", {0xFFFE, 0xFFFF}, {1023}},
        {"no line end at the end of the file", "S1047000AB00", {0x7000}, {448}},
        {"empty file", "", {}, {}},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        const Loaded loaded = Read(folder, c.text);
        EXPECT_EQ(loaded.result, 0) << c.what;
        EXPECT_EQ(loaded.Written(), c.written) << c.what;
        EXPECT_EQ(loaded.MarkedPages(), c.pages) << c.what;
    }
}

TEST(ReadS19File, DataDigitsDecodeByTheirCode) {
    TempFolder folder;
    const Loaded loaded = Read(folder, "S1077000A50F9Caa00\n");
    EXPECT_EQ(loaded.image[0x7000], 0xA5);
    EXPECT_EQ(loaded.image[0x7001], 0x0F);
    EXPECT_EQ(loaded.image[0x7002], 0x9C);
    // 'a' counts as 42: 42 * 16 + 42 = 714, kept as its low byte.
    EXPECT_EQ(loaded.image[0x7003], static_cast<BYTE>(714));
    EXPECT_EQ(loaded.image[0x7004], 0xFF) << "the checksum byte is not data";
}

TEST(ReadS19File, LaterRecordsOverwriteEarlierOnes) {
    TempFolder folder;
    const Loaded loaded = Read(folder, "S1057000111100\r\nS1047001EE00\r\n");
    EXPECT_EQ(loaded.image[0x7000], 0x11);
    EXPECT_EQ(loaded.image[0x7001], 0xEE);
}

TEST(ReadS19File, LongLinesArriveInPiecesAndNoPieceLoadsAsData) {
    TempFolder folder;
    // A 144-character header: two reads, neither with '1' as its second character.
    std::string header = "S0";
    header += std::string(142, 'A');
    // A 40-byte S1 record is 90 characters; an 80-byte one would be 170 and arrives cut.
    std::string longRecord = "S153" + std::string("7000") + std::string(160, 'C') + "00";
    const Loaded loaded = Read(folder, header + "\r\n" + longRecord + "\r\nS1047100AB00\r\n");
    EXPECT_EQ(loaded.Written(), std::set<DWORD>{0x7100});
    EXPECT_EQ(loaded.MarkedPages(), std::set<int>{0x7100 / 64});
}

TEST(ReadS19File, BackslashSeparatedPathOpens) {
    // The update writes its image to "%TEMP%\temp.s19", a Windows path name.
    TempFolder folder;
    std::ofstream(folder.File("image.s19"), std::ios::binary) << "S1047000AB00\r\n";
    std::string path = folder.File("image.s19");
    path[path.rfind('/')] = '\\';
    BYTE image[0x10000] = {};
    BYTE pageMap[1024] = {};
    ASSERT_EQ(ReadS19File(path.c_str(), image, pageMap), 0);
    EXPECT_EQ(image[0x7000], 0xAB);
    EXPECT_EQ(pageMap[0x7000 / 64], 0xFF);
}

TEST(ReadS19File, MissingFileIsReported) {
    TempFolder folder;
    BYTE image[0x10000];
    BYTE pageMap[1024];
    EXPECT_EQ(ReadS19File(folder.File("absent.s19").c_str(), image, pageMap), 1);
}

TEST(HexToInt, DecodesHexOfEitherCase) {
    const std::pair<const char*, int> cases[] = {
        {"", 0},     {"0", 0},   {"7000", 0x7000}, {"7a0F", 0x7A0F},          {"ffff", 0xFFFF},
        {"12G4", 0}, {" 12", 0}, {"FFFFFFFF", -1}, {"123456789", 0x23456789},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(HexToInt(text), value) << text;
    }
}

TEST(ImageChecksum, IsTheTwosComplementOfTheSum) {
    std::vector<BYTE> image(0x10000, 0xFF);
    EXPECT_EQ(ImageChecksum(image.data(), 0xF600, 0xF7FD), 0x03FE);
    image[0xF600] = 0x01;
    EXPECT_EQ(ImageChecksum(image.data(), 0xF600, 0xF7FD), 0x04FC);
    EXPECT_EQ(ImageChecksum(image.data(), 0xF7FE, 0xF600), 0) << "an empty range sums to 0";
    std::vector<BYTE> zeros(0x10000, 0);
    EXPECT_EQ(ImageChecksum(zeros.data(), 0, 0xFFFF), 0);
    EXPECT_EQ(ImageChecksum(image.data(), 0xFFFF, 0x1FFFF), 0xFF01) << "stops at the image end";
}

class LoadFile : public ::testing::Test {
protected:
    std::unique_ptr<CIspSession> session_ = std::make_unique<CIspSession>();
    TempFolder folder_;
};

TEST_F(LoadFile, EmptyPathLeavesImageAndMapAsTheyWere) {
    session_->m_image[0x7000] = 0x12;
    session_->m_pageMap[448] = 0xFF;
    EXPECT_EQ(session_->OnBLoadFile(), 0);
    EXPECT_EQ(session_->m_image[0x7000], 0x12);
    EXPECT_EQ(session_->m_pageMap[448], 0xFF);
    EXPECT_FALSE(session_->m_bLoaded);
}

TEST_F(LoadFile, MissingFileResetsImageButNotTheLoadedFlag) {
    session_->m_image[0x7000] = 0x12;
    session_->m_pageMap[448] = 0xFF;
    session_->m_strFilePath = folder_.File("absent.s19").c_str();
    EXPECT_EQ(session_->OnBLoadFile(), 0);
    EXPECT_EQ(session_->m_image[0x7000], 0xFF);
    EXPECT_EQ(session_->m_pageMap[448], 0);
    EXPECT_FALSE(session_->m_bLoaded);

    const std::string path = folder_.File("image.s19");
    std::ofstream(path) << "S1047000AB00\n";
    session_->m_strFilePath = path.c_str();
    EXPECT_EQ(session_->OnBLoadFile(), 1);
    EXPECT_TRUE(session_->m_bLoaded);
    EXPECT_EQ(session_->m_image[0x7000], 0xAB);
    session_->m_strFilePath = folder_.File("absent.s19").c_str();
    EXPECT_EQ(session_->OnBLoadFile(), 0);
    EXPECT_TRUE(session_->m_bLoaded) << "a failed load never clears the flag";
}

TEST_F(LoadFile, CarriedImageFillsItsRangesOnly) {
    session_->m_strFilePath = NERITH_CARRIED_IMAGE;
    ASSERT_EQ(session_->OnBLoadFile(), 1) << NERITH_CARRIED_IMAGE;
    EXPECT_EQ(session_->m_image[0xDE00], 1);
    EXPECT_EQ(session_->m_image[0xDE01], 64);
    for (DWORD page = 0; page < 1024; ++page) {
        const DWORD a = page * 64;
        const bool inside = (a >= 0x7000 && a <= 0xC394) || (a >= 0xDE00 && a <= 0xDE5F) ||
                            (a >= 0xE000 && a <= 0xE04D) || a >= 0xFFC0;
        if (!inside) {
            EXPECT_EQ(session_->m_pageMap[page], 0) << std::hex << a;
        }
    }
    EXPECT_EQ(session_->m_pageMap[0x7000 / 64], 0xFF);
    EXPECT_EQ(session_->m_pageMap[0xFFC0 / 64], 0xFF);
    EXPECT_EQ(ImageChecksum(session_->m_image, 0xF600, 0xF7FD), 0x03FE);
    session_->m_bConfigured = FALSE;
    EXPECT_EQ(session_->OnBCheckSum(), 1);
}

} // namespace
