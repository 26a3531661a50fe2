// The RIFF reader: chunk search, size checks against parent and file, and buffered
// reads through mmioGetInfo / mmioAdvance / mmioSetInfo.
#include "mmsystem.h"
#include "wav_bytes.h"

#include <gtest/gtest.h>

#include <string>

using namespace wavbytes;

namespace {

class MmioTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    dir = MakeTempDir();
    ASSERT_FALSE(dir.empty());
  }
  void TearDown() override { RemoveTempDir(dir); }

  // Writes `bytes` and opens them buffered (with a small buffer when asked).
  HMMIO Open(const std::string& bytes, LONG bufferSize = 0)
  {
    const std::string path = dir + "/file.riff";
    EXPECT_TRUE(WriteFile(path, bytes));
    MMIOINFO info = {};
    info.cchBuffer = bufferSize;
    return mmioOpenA(path.c_str(), &info, MMIO_ALLOCBUF | MMIO_READ);
  }

  std::string dir;
};

const FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');
const FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');

// ---- opening ------------------------------------------------------------------------

TEST_F(MmioTest, MissingFileOrDirectoryDoesNotOpen)
{
  MMIOINFO info = {};
  EXPECT_EQ(mmioOpenA((dir + "/none.wav").c_str(), &info, MMIO_READ), nullptr);
  EXPECT_EQ(info.wErrorRet, (UINT)MMIOERR_FILENOTFOUND);
  EXPECT_EQ(mmioOpenA(dir.c_str(), &info, MMIO_READ), nullptr);
  EXPECT_EQ(mmioOpenA(nullptr, nullptr, MMIO_READ), nullptr);
}

// ---- descent ------------------------------------------------------------------------

TEST_F(MmioTest, FindsChunkAfterOddSizedChunkAndItsPadByte)
{
  const std::string body = Chunk("junk", "abc") + Chunk("data", "xyzw");
  HMMIO file = Open(Riff(body));
  ASSERT_NE(file, nullptr);
  MMCKINFO riff = {};
  ASSERT_EQ(mmioDescend(file, &riff, nullptr, 0), (MMRESULT)MMSYSERR_NOERROR);
  EXPECT_EQ(riff.ckid, FOURCC_RIFF);
  EXPECT_EQ(riff.fccType, mmioFOURCC('W', 'A', 'V', 'E'));
  EXPECT_EQ(riff.dwDataOffset, 8u);
  MMCKINFO data = {};
  data.ckid = kData;
  ASSERT_EQ(mmioDescend(file, &data, &riff, MMIO_FINDCHUNK), (MMRESULT)MMSYSERR_NOERROR);
  EXPECT_EQ(data.cksize, 4u);
  EXPECT_EQ(data.dwDataOffset, 12u + 12u + 8u);  // RIFF header + form, "junk" with pad, "data" header
  char bytes[4] = {};
  EXPECT_EQ(mmioRead(file, bytes, 4), 4);
  EXPECT_EQ(std::string(bytes, 4), "xyzw");
  mmioClose(file, 0);
}

TEST_F(MmioTest, FindRiffMatchesFormType)
{
  HMMIO file = Open(Riff(Chunk("data", "1234"), "AVI "));
  ASSERT_NE(file, nullptr);
  MMCKINFO riff = {};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  EXPECT_EQ(mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF), (MMRESULT)MMIOERR_CHUNKNOTFOUND);
  mmioSeek(file, 0, SEEK_SET);
  riff.fccType = mmioFOURCC('A', 'V', 'I', ' ');
  EXPECT_EQ(mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF), (MMRESULT)MMSYSERR_NOERROR);
  mmioClose(file, 0);
}

TEST_F(MmioTest, MissingChunkIsNotFoundAndSearchStaysInsideParent)
{
  // "data" sits after the RIFF chunk, so a search inside RIFF must not find it.
  HMMIO file = Open(Riff(Chunk("fmt ", "0123456789abcdef")) + Chunk("data", "zz"));
  ASSERT_NE(file, nullptr);
  MMCKINFO riff = {};
  ASSERT_EQ(mmioDescend(file, &riff, nullptr, 0), (MMRESULT)MMSYSERR_NOERROR);
  MMCKINFO data = {};
  data.ckid = kData;
  EXPECT_EQ(mmioDescend(file, &data, &riff, MMIO_FINDCHUNK), (MMRESULT)MMIOERR_CHUNKNOTFOUND);
  mmioClose(file, 0);
}

TEST_F(MmioTest, ChunkClaimingMoreThanTheFileHoldsIsRefused)
{
  const std::string inside = "WAVE" + LyingChunk("data", 0x7FFFFFF0u, "only a few bytes");
  HMMIO file = Open(Chunk("RIFF", inside));
  ASSERT_NE(file, nullptr);
  MMCKINFO riff = {};
  ASSERT_EQ(mmioDescend(file, &riff, nullptr, 0), (MMRESULT)MMSYSERR_NOERROR);
  MMCKINFO data = {};
  data.ckid = kData;
  EXPECT_EQ(mmioDescend(file, &data, &riff, MMIO_FINDCHUNK), (MMRESULT)MMIOERR_CHUNKNOTFOUND);
  mmioClose(file, 0);
}

TEST_F(MmioTest, RiffClaimingMoreThanTheFileHoldsIsRefused)
{
  HMMIO file = Open(LyingChunk("RIFF", 1000, "WAVE" + Chunk("data", "abcd")));
  ASSERT_NE(file, nullptr);
  MMCKINFO riff = {};
  EXPECT_EQ(mmioDescend(file, &riff, nullptr, 0), (MMRESULT)MMIOERR_CHUNKNOTFOUND);
  mmioClose(file, 0);
}

TEST_F(MmioTest, ChunkRunningPastItsParentIsRefused)
{
  // The RIFF chunk is honest about the file, but "data" claims bytes that lie after it.
  const std::string riffBody = "WAVE" + LyingChunk("data", 12, "abcd");
  HMMIO file = Open(Chunk("RIFF", riffBody) + std::string(16, 'x'));
  ASSERT_NE(file, nullptr);
  MMCKINFO riff = {};
  ASSERT_EQ(mmioDescend(file, &riff, nullptr, 0), (MMRESULT)MMSYSERR_NOERROR);
  MMCKINFO data = {};
  data.ckid = kData;
  EXPECT_EQ(mmioDescend(file, &data, &riff, MMIO_FINDCHUNK), (MMRESULT)MMIOERR_CHUNKNOTFOUND);
  mmioClose(file, 0);
}

TEST_F(MmioTest, TruncatedHeadersAreNotFound)
{
  HMMIO file = Open("RIFF\x10");
  ASSERT_NE(file, nullptr);
  MMCKINFO riff = {};
  EXPECT_EQ(mmioDescend(file, &riff, nullptr, 0), (MMRESULT)MMIOERR_CHUNKNOTFOUND);
  mmioClose(file, 0);
  // A RIFF chunk too small to hold its form type.
  file = Open(Chunk("RIFF", "WA"));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(mmioDescend(file, &riff, nullptr, 0), (MMRESULT)MMIOERR_CHUNKNOTFOUND);
  mmioClose(file, 0);
}

TEST_F(MmioTest, AscendMovesPastDataAndPad)
{
  HMMIO file = Open(Riff(Chunk("fmt ", "abc") + Chunk("data", "DATA")));
  ASSERT_NE(file, nullptr);
  MMCKINFO riff = {};
  ASSERT_EQ(mmioDescend(file, &riff, nullptr, 0), (MMRESULT)MMSYSERR_NOERROR);
  MMCKINFO fmt = {};
  fmt.ckid = kFmt;
  ASSERT_EQ(mmioDescend(file, &fmt, &riff, MMIO_FINDCHUNK), (MMRESULT)MMSYSERR_NOERROR);
  char one = 0;
  EXPECT_EQ(mmioRead(file, &one, 1), 1);
  ASSERT_EQ(mmioAscend(file, &fmt, 0), (MMRESULT)MMSYSERR_NOERROR);
  MMCKINFO next = {};
  ASSERT_EQ(mmioDescend(file, &next, &riff, 0), (MMRESULT)MMSYSERR_NOERROR);
  EXPECT_EQ(next.ckid, kData);
  mmioClose(file, 0);
}

// ---- reading and seeking --------------------------------------------------------------

TEST_F(MmioTest, SeekAndReadAtTheEdges)
{
  HMMIO file = Open("0123456789", 4);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(mmioSeek(file, -1, SEEK_SET), -1);
  EXPECT_EQ(mmioSeek(file, -3, SEEK_END), 7);
  char bytes[8] = {};
  EXPECT_EQ(mmioRead(file, bytes, 8), 3);
  EXPECT_EQ(std::string(bytes, 3), "789");
  EXPECT_EQ(mmioRead(file, bytes, 8), 0);
  EXPECT_EQ(mmioSeek(file, 100, SEEK_SET), 100);
  EXPECT_EQ(mmioRead(file, bytes, 8), 0);
  EXPECT_EQ(mmioSeek(file, 2, SEEK_SET), 2);
  EXPECT_EQ(mmioSeek(file, 3, SEEK_CUR), 5);
  EXPECT_EQ(mmioRead(file, bytes, 2), 2);
  EXPECT_EQ(std::string(bytes, 2), "56");
  EXPECT_EQ(mmioRead(file, bytes, -1), -1);
  mmioClose(file, 0);
}

TEST_F(MmioTest, BufferedReadingThroughInfoAndAdvance)
{
  std::string bytes;
  for (int i = 0; i < 100; ++i) bytes += (char)(i * 7);
  HMMIO file = Open(bytes, 7);  // the buffer size does not divide the file
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(mmioSeek(file, 3, SEEK_SET), 3);
  MMIOINFO info = {};
  ASSERT_EQ(mmioGetInfo(file, &info, 0), (MMRESULT)MMSYSERR_NOERROR);
  EXPECT_EQ(info.cchBuffer, 7);
  std::string got;
  for (;;) {
    if (info.pchNext == info.pchEndRead) {
      ASSERT_EQ(mmioAdvance(file, &info, MMIO_READ), (MMRESULT)MMSYSERR_NOERROR);
      if (info.pchNext == info.pchEndRead) break;  // the end of the file
    }
    got += *info.pchNext++;
  }
  EXPECT_EQ(got, bytes.substr(3));
  ASSERT_EQ(mmioSetInfo(file, &info, 0), (MMRESULT)MMSYSERR_NOERROR);
  EXPECT_EQ(mmioSeek(file, 0, SEEK_CUR), 100);
  mmioClose(file, 0);
}

TEST_F(MmioTest, SetInfoKeepsPositionInStepWithDirectReads)
{
  HMMIO file = Open("abcdefghij", 16);
  ASSERT_NE(file, nullptr);
  MMIOINFO info = {};
  ASSERT_EQ(mmioGetInfo(file, &info, 0), (MMRESULT)MMSYSERR_NOERROR);
  ASSERT_EQ(mmioAdvance(file, &info, MMIO_READ), (MMRESULT)MMSYSERR_NOERROR);
  ASSERT_EQ(info.pchEndRead - info.pchNext, 10);
  info.pchNext += 4;
  ASSERT_EQ(mmioSetInfo(file, &info, 0), (MMRESULT)MMSYSERR_NOERROR);
  char bytes[3] = {};
  EXPECT_EQ(mmioRead(file, bytes, 3), 3);
  EXPECT_EQ(std::string(bytes, 3), "efg");
  mmioClose(file, 0);
}

TEST_F(MmioTest, SetInfoRefusesPointersOutsideTheBuffer)
{
  HMMIO file = Open("abcdefghij", 16);
  ASSERT_NE(file, nullptr);
  MMIOINFO info = {};
  ASSERT_EQ(mmioAdvance(file, nullptr, MMIO_READ), (MMRESULT)MMSYSERR_NOERROR);
  ASSERT_EQ(mmioGetInfo(file, &info, 0), (MMRESULT)MMSYSERR_NOERROR);
  MMIOINFO bad = info;
  bad.pchNext = info.pchEndRead + 1;
  EXPECT_NE(mmioSetInfo(file, &bad, 0), (MMRESULT)MMSYSERR_NOERROR);
  bad.pchNext = info.pchBuffer - 1;
  EXPECT_NE(mmioSetInfo(file, &bad, 0), (MMRESULT)MMSYSERR_NOERROR);
  EXPECT_NE(mmioAdvance(file, &bad, MMIO_READ), (MMRESULT)MMSYSERR_NOERROR);
  char first = 0;
  EXPECT_EQ(mmioRead(file, &first, 1), 1);
  EXPECT_EQ(first, 'a');
  mmioClose(file, 0);
}

TEST_F(MmioTest, UnbufferedFileCannotAdvance)
{
  const std::string path = dir + "/plain";
  ASSERT_TRUE(WriteFile(path, "abc"));
  HMMIO file = mmioOpenA(path.c_str(), nullptr, MMIO_READ);
  ASSERT_NE(file, nullptr);
  MMIOINFO info = {};
  EXPECT_EQ(mmioGetInfo(file, &info, 0), (MMRESULT)MMSYSERR_NOERROR);
  EXPECT_EQ(info.pchBuffer, nullptr);
  EXPECT_EQ(mmioAdvance(file, &info, MMIO_READ), (MMRESULT)MMIOERR_UNBUFFERED);
  char bytes[3] = {};
  EXPECT_EQ(mmioRead(file, bytes, 3), 3);
  EXPECT_EQ(std::string(bytes, 3), "abc");
  mmioClose(file, 0);
}

}  // namespace
