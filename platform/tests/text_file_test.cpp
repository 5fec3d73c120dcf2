#include "platform/tests/child_process.h"
#include "platform/tests/temp_dir.h"
#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using platform::TextReader;
using platform::TextWriter;
using testing_support::CTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

std::vector<std::string> ReadPieces(const std::string& path)
{
    TextReader reader;
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
    std::string line(TextReader::kMaxPieceBytes * 2 + 10, 'x');
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

    // A CR as the last byte of the first read: the LF or the other byte comes with the next.
    const std::size_t headBytes = TextReader::kBufferBytes - 1;
    const std::string head(headBytes, 'h');
    const std::string tail = std::string(headBytes % TextReader::kMaxPieceBytes, 'h');
    WriteFileBytes(dir.File("b"), head + "\r\nnext");
    pieces = ReadPieces(dir.File("b"));
    ASSERT_EQ(pieces.size(), headBytes / TextReader::kMaxPieceBytes + 2);
    EXPECT_EQ(pieces[pieces.size() - 2], tail + "\n");
    EXPECT_EQ(pieces.back(), "next");

    WriteFileBytes(dir.File("c"), head + "\rnext");
    pieces = ReadPieces(dir.File("c"));
    ASSERT_EQ(pieces.size(), headBytes / TextReader::kMaxPieceBytes + 1);
    EXPECT_EQ(pieces.back(), tail + "\rnext");

    // A line of 4093 bytes and CR LF that starts exactly 4094 bytes before the end of the
    // first read: it is one piece of 4094 bytes, LF last, though its LF was not read yet.
    std::string filler;
    while (filler.size() + 100 <= TextReader::kBufferBytes - TextReader::kMaxPieceBytes)
        filler += std::string(99, 'f') + "\n";
    filler += std::string(TextReader::kBufferBytes - TextReader::kMaxPieceBytes - filler.size() - 1,
                          'f') +
              "\n";
    const std::string line(TextReader::kMaxPieceBytes - 1, 'x');
    WriteFileBytes(dir.File("d"), filler + line + "\r\nnext");
    pieces = ReadPieces(dir.File("d"));
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(pieces[pieces.size() - 2], line + "\n");
    EXPECT_EQ(pieces.back(), "next");
}

// The pieces of a file as plainly as they can be said: CR LF becomes LF, then each line is
// cut after its LF or after 4094 bytes.
std::vector<std::string> ModelPieces(const std::string& raw)
{
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n'))
            text += raw[i];
    }
    std::vector<std::string> pieces;
    std::string piece;
    for (char c : text) {
        piece += c;
        if (c == '\n' || piece.size() == TextReader::kMaxPieceBytes)
            pieces.push_back(std::move(piece)), piece.clear();
    }
    if (!piece.empty())
        pieces.push_back(piece);
    return pieces;
}

TEST(TextFile, ReadsLikeThePlainModelThroughManyRefills)
{
    // Several buffers' worth of short and long lines, lone CRs, CR LF and CR CR LF, so that
    // line ends and pairs fall on every kind of buffer and piece boundary.
    std::mt19937 random(932);
    std::string raw;
    while (raw.size() < 3 * TextReader::kBufferBytes) {
        const auto lineBytes = random() % 7 == 0 ? random() % 12000 : random() % 300;
        raw.append(lineBytes, static_cast<char>('a' + random() % 26));
        static const char* const kEnds[] = {"\n", "\r\n", "\r", "\r\r\n", "\r\n\n", ""};
        raw += kEnds[random() % 6];
    }
    CTempDir dir;
    WriteFileBytes(dir.File("a"), raw);
    const std::vector<std::string> expected = ModelPieces(raw);
    EXPECT_EQ(ReadPieces(dir.File("a")), expected);

    // A reader opened again starts afresh on the next file.
    TextReader reader;
    std::string piece;
    ASSERT_TRUE(reader.Open(dir.File("a")));
    ASSERT_TRUE(reader.ReadLine(piece));
    WriteFileBytes(dir.File("b"), "x\r\ny");
    ASSERT_TRUE(reader.Open(dir.File("b")));
    std::string_view view;
    ASSERT_TRUE(reader.ReadPiece(view));
    EXPECT_EQ(view, "x\n");
    ASSERT_TRUE(reader.ReadLine(piece));
    EXPECT_EQ(piece, "y");
    EXPECT_FALSE(reader.ReadPiece(view));
    EXPECT_TRUE(view.empty());
}

TEST(TextFile, AReadErrorIsToldApartFromTheEnd)
{
    CTempDir dir;
    WriteFileBytes(dir.File("a"), "line\n");
    TextReader reader;
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
    TextWriter writer;
    ASSERT_TRUE(writer.Open(dir.File("out")));
    writer.Write("a\nb\r\n");
    writer.Write("");
    writer.Write("\n");
    // Pieces as the reader gives them: a line end only at the end.
    writer.WritePiece("c\r");
    writer.WritePiece("");
    writer.WritePiece("d\n");
    writer.WritePiece("\n");
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(ReadFileBytes(dir.File("out")), "a\r\nb\r\r\n\r\nc\rd\r\n\r\n");
}

TEST(TextFile, WriterKeepsEveryByteAcrossItsBuffer)
{
    // Lines that straddle the writer's buffer, with a CR LF pair split by it, and one text
    // longer than the buffer.
    CTempDir dir;
    TextWriter writer;
    ASSERT_TRUE(writer.Open(dir.File("out")));
    const std::string line(1000, 'l');
    std::string expected;
    for (std::size_t i = 0; i < 2 * TextWriter::kBufferBytes / 1001; ++i) {
        writer.Write(line + "\n");
        expected += line + "\r\n";
    }
    const std::string pad(TextWriter::kBufferBytes - expected.size() % TextWriter::kBufferBytes - 1,
                          'p');
    writer.Write(pad + "\n");
    expected += pad + "\r\n";
    const std::string huge(TextWriter::kBufferBytes + 7, 'h');
    writer.Write(huge);
    expected += huge;
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(ReadFileBytes(dir.File("out")), expected);
}

TEST(TextFile, WriterReportsAFullDiskAndKeepsTheOldFile)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "runs in a forked child";
#endif
    CTempDir dir;
    const std::string path = dir.File("out");
    WriteFileBytes(path, "old");
    const auto closed = testing_support::RunWithFileSizeLimit(
        [&] {
            TextWriter writer;
            if (!writer.Open(path))
                return std::string("no open");
            writer.Write(std::string(TextWriter::kBufferBytes * 2, 'x') + "\n");
            return std::to_string(writer.Close());
        },
        TextWriter::kBufferBytes);
    EXPECT_EQ(closed, "0");
    EXPECT_EQ(ReadFileBytes(path), "old");
}

TEST(TextFile, MissingFilesFailToOpen)
{
    CTempDir dir;
    TextReader reader;
    EXPECT_FALSE(reader.Open(dir.File("missing")));
    std::string piece;
    EXPECT_FALSE(reader.ReadLine(piece));
    TextWriter writer;
    EXPECT_FALSE(writer.Open(dir.File("no/such/folder")));
}

TEST(TextFile, AFolderIsNoFileToRead)
{
    // A folder would otherwise open and read as an empty file, so a template or page that
    // is a folder would pass for one with no lines.
    CTempDir dir;
    TextReader reader;
    EXPECT_FALSE(reader.Open(dir.Path()));
    EXPECT_FALSE(reader.IsOpen());
    std::string piece;
    EXPECT_FALSE(reader.ReadLine(piece));
}

} // namespace
