// Each block decoder of UTF-8 that this processor has (64, 32 and 16 bytes at a time) against the
// one-sequence-at-a-time decoder: the same units and the same count for every input, malformed
// ones included, wherever a sequence falls in a block.
#ifndef _WIN32
#include "platform/posix/utf8_decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using platform::posix::Utf8Decoding;

std::u16string Decode(std::string_view bytes, Utf8Decoding decoding) {
  // Exactly the room the contract gives, so that a write past it is caught by the sanitizer.
  std::vector<char16_t> units(bytes.size());
  const size_t written = platform::posix::Utf8ToUtf16(bytes.data(), bytes.size(), units.data(), decoding);
  return std::u16string(units.data(), written);
}

void ExpectSameDecoding(std::string_view bytes) {
  const std::u16string scalar = Decode(bytes, Utf8Decoding::kScalar);
  EXPECT_EQ(platform::posix::CountUtf8AsUtf16(bytes.data(), bytes.size(), Utf8Decoding::kScalar),
            scalar.size());
  for (const Utf8Decoding blocks :
       {Utf8Decoding::kBlocks, Utf8Decoding::kBlocksUpTo32Bytes, Utf8Decoding::kBlocksUpTo16Bytes}) {
    SCOPED_TRACE(testing::Message() << "blocks " << static_cast<int>(blocks));
    EXPECT_EQ(Decode(bytes, blocks), scalar);
    EXPECT_EQ(platform::posix::CountUtf8AsUtf16(bytes.data(), bytes.size(), blocks), scalar.size());
  }
}

class Utf8BlockDecoder : public testing::Test {
 protected:
  void SetUp() override {
    if (!platform::posix::HasUtf8BlockDecoder())
      GTEST_SKIP() << "this processor decodes one sequence at a time";
  }
};

// Sequences at every edge of the rules, and the well-formed neighbours of each.
constexpr std::string_view kEdges[] = {
    "\xC2\x80",
    "\xDF\xBF",
    "\xC0\x80",
    "\xC1\xBF",
    "\xC2",
    "\xC2\x41",
    "\xC2\xC2\x80",
    "\xE0\xA0\x80",
    "\xE0\x9F\xBF",
    "\xE0\x80\x80",
    "\xED\x9F\xBF",
    "\xED\xA0\x80",
    "\xED\xBF\xBF",
    "\xEE\x80\x80",
    "\xEF\xBF\xBF",
    "\xEF\xBB\xBF",
    "\xE1\x80",
    "\xE1\x80\x41",
    "\xE1\x41\x80",
    "\xE1",
    "\xF0\x90\x80\x80",
    "\xF0\x8F\xBF\xBF",
    "\xF4\x8F\xBF\xBF",
    "\xF4\x90\x80\x80",
    "\xF0\x9F\x98",
    "\xF5\x80\x80\x80",
    "\xF8\x88\x80\x80\x80",
    "\xFE",
    "\xFF",
    "\x80",
    "\xBF",
    "\x80\x80\x80",
    "\xD0\x97\xBF",
    "\xE6\xAD\xA3\xAD",
    std::string_view("\0", 1),
};

TEST_F(Utf8BlockDecoder, EdgeCasesAtEveryPlaceInABlock) {
  // Cyrillic and CJK fillers keep the blocks around an edge case on the block path; the places
  // run past the end of the widest block (64 bytes).
  const std::string fillers[] = {"a", "\xD0\x97", "\xE6\xAD\xA3"};
  for (const std::string_view edge : kEdges) {
    for (const std::string& filler : fillers) {
      for (size_t before = 0; before < 68; ++before) {
        std::string text;
        while (text.size() + filler.size() <= before) text += filler;
        text.resize(before, 'a');
        text += edge;
        SCOPED_TRACE(testing::Message() << "before " << before << " filler " << filler.size() << " edge "
                                        << testing::PrintToString(std::string(edge)));
        ExpectSameDecoding(text);  // the edge case ends the input
        for (const std::string& after : fillers) {
          std::string followed = text;
          while (followed.size() < text.size() + 128) followed += after;
          ExpectSameDecoding(followed);
        }
      }
    }
  }
}

TEST_F(Utf8BlockDecoder, EdgeCasesAfterARunOfAscii) {
  // Blocks of ASCII between text that is not: an edge case right after a run that ends at any
  // place of a block, or at its end.
  const std::string cyrillic = "\xD0\x97\xD0\x9E\xD1\x82\xD0\xBC";
  for (const std::string_view edge : kEdges) {
    for (size_t run = 0; run < 136; ++run) {
      const std::string text = cyrillic + cyrillic + cyrillic + cyrillic + cyrillic + std::string(run, 'a') +
                                std::string(edge) + cyrillic + cyrillic + cyrillic + cyrillic + cyrillic;
      SCOPED_TRACE(testing::Message() << "run " << run << " edge " << testing::PrintToString(std::string(edge)));
      ExpectSameDecoding(text);
    }
  }
}

TEST_F(Utf8BlockDecoder, WellFormedTextDecodesToItsCharacters) {
  const std::string text =
      "<message xml:lang=\"ru\">\xD0\x9E\xD1\x82\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB0</message>"
      "<message xml:lang=\"zh_CN\">\xE5\x8F\x96\xE6\xB6\x88\xE4\xBB\xBB\xE5\x8A\xA1\xE3\x80\x82</message>"
      "<message xml:lang=\"hi\">\xE0\xA4\x95\xE0\xA4\xBE\xE0\xA4\xB0\xE0\xA5\x8D\xE0\xA4\xAF</message>";
  EXPECT_EQ(Decode(text, Utf8Decoding::kBlocks),
            u"<message xml:lang=\"ru\">\u041E\u0442\u043C\u0435\u043D\u0430</message>"
            u"<message xml:lang=\"zh_CN\">\u53D6\u6D88\u4EFB\u52A1\u3002</message>"
            u"<message xml:lang=\"hi\">\u0915\u093E\u0930\u094D\u092F</message>");
}

TEST_F(Utf8BlockDecoder, SeededRandomTextDecodesAsOneSequenceAtATime) {
  // Mostly well-formed pieces, so that runs reach the block path, among malformed ones and noise.
  constexpr std::string_view kPieces[] = {
      "a",
      " ",
      "<x>",
      "\xC3\xA9",
      "\xD0\x97",
      "\xDF\xBF",
      "\xE6\xAD\xA3",
      "\xE0\xA4\xA1",
      "\xED\x9F\xBF",
      "\xEF\xBF\xBF",
      "\xE0\xA0\x80",
      "\xF0\x9F\x98\x80",
      "\xED\xA0\x80",
      "\xE0\x9F\xBF",
      "\xC1\xBF",
      "\xF4\x90\x80\x80",
      "\x80",
      "\xE6\xAD",
      "\xC3",
      "\xF0\x9F",
      "\xFF",
  };
  std::mt19937 random(20);
  for (int round = 0; round < 100'000; ++round) {
    std::string text;
    const auto pieces = random() % 160;
    for (unsigned i = 0; i < pieces; ++i) {
      if (random() % 8 == 0) {
        text += static_cast<char>(random());
      } else {
        text += kPieces[random() % std::size(kPieces)];
      }
    }
    SCOPED_TRACE(testing::PrintToString(text));
    ExpectSameDecoding(text);
    if (HasFailure()) return;
  }
}

}  // namespace
#endif
