#include "platform/afx/CString.h"
#include "platform/crt.h"
#include "platform/kernel32.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>

namespace {

TEST(CString, ComparesWithStringsAndPointers) {
    const CString ok("OK");
    EXPECT_TRUE(ok == "OK");
    EXPECT_TRUE("OK" == ok);
    EXPECT_TRUE(ok == CString("OK"));
    EXPECT_TRUE(ok != "ok");
    EXPECT_TRUE(ok != CString("OKAY"));
    EXPECT_FALSE(ok == "OKAY");
    EXPECT_TRUE(CString() == "");
    EXPECT_TRUE(CString(static_cast<LPCTSTR>(nullptr)) == "");
    EXPECT_STREQ(static_cast<LPCTSTR>(ok), "OK");
    EXPECT_EQ(ok.Compare("OL"), -1);
    EXPECT_EQ(ok.CompareNoCase("ok"), 0);
}

TEST(CString, FindsAndCutsWithinBounds) {
    // The shape of a skin layout line.
    const CString line("BUTTON_OK,187,231,30,17,OK,FALSE");
    EXPECT_EQ(line.Find(','), 9);
    EXPECT_EQ(line.Find(',', 10), 13);
    EXPECT_EQ(line.Find("OK", 8), 24);
    EXPECT_EQ(line.Find('#'), -1);
    EXPECT_EQ(line.ReverseFind(','), 26);
    EXPECT_EQ(line.ReverseFind('#'), -1);
    EXPECT_TRUE(line.Left(9) == "BUTTON_OK");
    EXPECT_TRUE(line.Mid(27) == "FALSE");
    EXPECT_TRUE(line.Mid(10, 3) == "187");
    EXPECT_TRUE(line.Right(5) == "FALSE");

    struct Case {
        const char* name;
        CString result;
        const char* expected;
    };
    const CString s("abc");
    const Case cases[] = {
        {"Left(-1)", s.Left(-1), ""},     {"Left(10)", s.Left(10), "abc"},
        {"Mid(-2)", s.Mid(-2), "abc"},    {"Mid(3)", s.Mid(3), ""},
        {"Mid(9)", s.Mid(9), ""},         {"Mid(1, 99)", s.Mid(1, 99), "bc"},
        {"Mid(1, -1)", s.Mid(1, -1), ""}, {"Right(-3)", s.Right(-3), ""},
        {"Right(7)", s.Right(7), "abc"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(static_cast<LPCTSTR>(c.result), c.expected) << c.name;
    }
    EXPECT_EQ(s.Find('a', -1), -1);
    EXPECT_EQ(s.Find('a', 3), -1);
    EXPECT_EQ(s.Find("c", 4), -1);
    EXPECT_EQ(s.Find(static_cast<LPCTSTR>(nullptr)), -1);
}

TEST(CString, IndexesAreCheckedAndCopiesAreIndependent) {
    CString s("s1");
    const CString copy = s;
    s.MakeUpper();
    EXPECT_EQ(s[0], 'S');
    EXPECT_EQ(s.GetAt(1), '1');
    EXPECT_EQ(s[2], '\0');
    EXPECT_EQ(s[-1], '\0');
    s.SetAt(5, 'x');
    s.SetAt(0, 'T');
    EXPECT_TRUE(s == "T1");
    EXPECT_TRUE(copy == "s1");
}

TEST(CString, BuildsAndEmpties) {
    CString s;
    EXPECT_TRUE(s.IsEmpty());
    s += "S1";
    s += '2';
    s += CString("3");
    EXPECT_EQ(s.GetLength(), 4);
    EXPECT_TRUE(s + "x" == "S123x");
    EXPECT_TRUE("x" + s == "xS123");
    s = 'z';
    EXPECT_TRUE(s == "z");
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
    CString padded("  mid \t");
    padded.TrimLeft();
    padded.TrimRight();
    EXPECT_TRUE(padded == "mid");
    CString lower("MiXeD");
    lower.MakeLower();
    EXPECT_TRUE(lower == "mixed");
}

TEST(CString, FormatsLikePrintf) {
    CString s;
    s.Format("%s\\temp.s19", "/tmp/x");
    EXPECT_TRUE(s == "/tmp/x\\temp.s19");
    s.Format("%sskins\\ridozuveza.dll", static_cast<LPCTSTR>(CString("/opt/nerith/")));
    EXPECT_TRUE(s == "/opt/nerith/skins\\ridozuveza.dll");
    s.Format("error %d at %04X", 5, 0x7000);
    EXPECT_TRUE(s == "error 5 at 7000");
    const std::string longText(5000, 'q');
    s.Format("<%s>", longText.c_str());
    EXPECT_EQ(s.GetLength(), 5002);
    s.Format("");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CString, BufferRoundTrip) {
    CString s("ab");
    char* buffer = s.GetBuffer(10);
    ASSERT_NE(buffer, nullptr);
    EXPECT_STREQ(buffer, "ab");
    std::memcpy(buffer, "0123456789", 11);
    s.ReleaseBuffer();
    EXPECT_TRUE(s == "0123456789");
    buffer = s.GetBuffer(0);
    buffer[3] = '\0';
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 3);
    s.GetBuffer(8);
    s.ReleaseBuffer(2);
    EXPECT_TRUE(s == "01");
    s.ReleaseBuffer(50);
    EXPECT_TRUE(s == "01");
}

TEST(CString, LoadsStringResources) {
    CString s("unchanged");
    EXPECT_TRUE(s.LoadString(101));
    EXPECT_TRUE(s == "&About Update...");
    EXPECT_FALSE(s.LoadString(2000));
    EXPECT_TRUE(s == "&About Update...");
    EXPECT_TRUE(s.LoadString(301));
    EXPECT_EQ(s.GetLength(), 280);
    EXPECT_TRUE(CString(MAKEINTRESOURCE(17)) == "second of block 2");
}

TEST(SplitPath, SplitsBothSeparatorsAndSurvivesNulls) {
    struct Case {
        const char* path;
        const char* drive;
        const char* dir;
        const char* fname;
        const char* ext;
    };
    const Case cases[] = {
        {"C:\\Tools\\upd.exe", "C:", "\\Tools\\", "upd", ".exe"},
        {"/opt/nerith/bin/nerith-update", "", "/opt/nerith/bin/", "nerith-update", ""},
        {"/a.b/c", "", "/a.b/", "c", ""},
        {"dir\\sub/file.tar.gz", "", "dir\\sub/", "file.tar", ".gz"},
        {"name", "", "", "name", ""},
        {"", "", "", "", ""},
        {"D:x.", "D:", "", "x", "."},
    };
    for (const Case& c : cases) {
        char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
        _splitpath(c.path, drive, dir, fname, ext);
        EXPECT_STREQ(drive, c.drive) << c.path;
        EXPECT_STREQ(dir, c.dir) << c.path;
        EXPECT_STREQ(fname, c.fname) << c.path;
        EXPECT_STREQ(ext, c.ext) << c.path;
    }
    char dir[_MAX_DIR];
    _splitpath("C:\\Tools\\upd.exe", nullptr, dir, nullptr, nullptr);
    EXPECT_STREQ(dir, "\\Tools\\");
}

} // namespace
