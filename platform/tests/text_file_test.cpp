#include "platform/tests/temp_dir.h"
#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::CTextReader;
using platform::CTextWriter;
using testing_support::CTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

std::vector<std::string> ReadPieces(const std::string& path)
{
    CTextReader reader;
    EXPECT_TRUE(reader.Open(path));
    std::vector<std::string> pieces;
    std::string piece;
    while (reader.ReadLine(piece))
        pieces.push_back(piece);
    return pieces;
}

TEST(TextFile, CrLfReadsAsLfAndOtherBytesPass)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a"), std::string("one\r\ntwo\nthree\r\r\nlone\rcr\x1A\0z", 27));
    EXPECT_EQ(ReadPieces(dir.File("a")),
              (std::vector<std::string>{"one\n", "two\n", "three\r\n",
                                        std::string("lone\rcr\x1A\0z", 10)}));
}

TEST(TextFile, LongLinesArriveAsPiecesOfAtMost4094Bytes)
{
    CTempDir dir;
    std::string line(CTextReader::kMaxPieceBytes * 2 + 10, 'x');
    WriteFileBytes(dir.File("a"), line + "\r\nend");
    auto pieces = ReadPieces(dir.File("a"));
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0], std::string(4094, 'x'));
    EXPECT_EQ(pieces[1], std::string(4094, 'x'));
    EXPECT_EQ(pieces[2], std::string(10, 'x') + "\n");
    EXPECT_EQ(pieces[3], "end");

    // A line of exactly 4093 bytes plus its line end fits one piece.
    WriteFileBytes(dir.File("b"), std::string(4093, 'y') + "\n");
    EXPECT_EQ(ReadPieces(dir.File("b")), std::vector<std::string>{std::string(4093, 'y') + "\n"});
}

TEST(TextFile, CrLfAcrossTheReadBufferBoundaryIsStillOneLineEnd)
{
    CTempDir dir;
    // Lines of 4000 bytes put CR LF pairs at many offsets of the 64 KiB read buffer.
    std::string body;
    for (int i = 0; i < 40; ++i)
        body += std::string(3999, static_cast<char>('a' + i % 26)) + "\r\n";
    WriteFileBytes(dir.File("a"), body);
    auto pieces = ReadPieces(dir.File("a"));
    ASSERT_EQ(pieces.size(), 40u);
    for (const auto& p : pieces)
        EXPECT_EQ(p.substr(3999), "\n");

    // A CR as the last byte of one 64 KiB read: the LF or the other byte comes with the next.
    const std::string head(65535, 'h');
    const std::string tail = std::string(65535 % CTextReader::kMaxPieceBytes, 'h');
    WriteFileBytes(dir.File("b"), head + "\r\nnext");
    pieces = ReadPieces(dir.File("b"));
    ASSERT_EQ(pieces.size(), 65535 / CTextReader::kMaxPieceBytes + 2);
    EXPECT_EQ(pieces[pieces.size() - 2], tail + "\n");
    EXPECT_EQ(pieces.back(), "next");

    WriteFileBytes(dir.File("c"), head + "\rnext");
    pieces = ReadPieces(dir.File("c"));
    ASSERT_EQ(pieces.size(), 65535 / CTextReader::kMaxPieceBytes + 1);
    EXPECT_EQ(pieces.back(), tail + "\rnext");
}

TEST(TextFile, AReadErrorIsToldApartFromTheEnd)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a"), "line\n");
    CTextReader reader;
    ASSERT_TRUE(reader.Open(dir.File("a")));
    std::string piece;
    while (reader.ReadLine(piece)) {
    }
    EXPECT_FALSE(reader.HasError());

    // Reading this process's memory from offset 0 fails with an I/O error.
    if (!reader.Open("/proc/self/mem"))
        GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    EXPECT_FALSE(reader.ReadLine(piece));
    EXPECT_TRUE(reader.HasError());
}

TEST(TextFile, WriterTurnsLfIntoCrLf)
{
    CTempDir dir;
    CTextWriter writer;
    ASSERT_TRUE(writer.Open(dir.File("out")));
    writer.Write("a\nb\r\n");
    writer.Write("");
    writer.Write("\n");
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(ReadFileBytes(dir.File("out")), "a\r\nb\r\r\n\r\n");
}

TEST(TextFile, WriterReportsAFullDisk)
{
    CTextWriter writer;
    ASSERT_TRUE(writer.Open("/dev/full"));
    writer.Write(std::string(100000, 'x') + "\n");
    EXPECT_FALSE(writer.Close());
}

TEST(TextFile, MissingFilesFailToOpen)
{
    CTempDir dir;
    CTextReader reader;
    EXPECT_FALSE(reader.Open(dir.File("missing")));
    std::string piece;
    EXPECT_FALSE(reader.ReadLine(piece));
    CTextWriter writer;
    EXPECT_FALSE(writer.Open(dir.File("no/such/folder")));
}

TEST(TextFile, AFolderIsNoFileToRead)
{
    // A folder would otherwise open and read as an empty file, so a template or page that
    // is a folder would pass for one with no lines.
    CTempDir dir;
    CTextReader reader;
    EXPECT_FALSE(reader.Open(dir.Path()));
    EXPECT_FALSE(reader.IsOpen());
    std::string piece;
    EXPECT_FALSE(reader.ReadLine(piece));
}

} // namespace
