// Text primitives over 1 MiB of mixed code page 936 and ASCII text, each
// next to the plain C library call that does the same work without the
// character rules (memmem, iconv).
#include <iconv.h>

#include <cstring>
#include <random>
#include <string>

#include <benchmark/benchmark.h>

#include "text/text.h"

namespace {

constexpr size_t kSize = 1 << 20;

// Lines of ASCII words and common Chinese characters, about half of each,
// with the sought text only at the very end.
const std::string& MixedText() {
  static const std::string text = [] {
    static const char* kWords[] = {"the",   "Chat", "reply", "cookie", "Host",
                                   "value", "a=1;", "path",  "100%",   "OK"};
    std::mt19937 random(42);
    std::string s;
    s.reserve(kSize + 64);
    while (s.size() < kSize - 64) {
      int words = 4 + static_cast<int>(random() % 8);
      for (int w = 0; w < words; ++w) {
        if (random() % 2 == 0) {
          s += kWords[random() % 10];
          s += ' ';
        } else {
          int chars = 1 + static_cast<int>(random() % 4);
          for (int c = 0; c < chars; ++c) {
            s.push_back(static_cast<char>(0xB0 + random() % 0x27));
            s.push_back(static_cast<char>(0xA1 + random() % 0x5E));
          }
        }
      }
      s += "\r\n";
    }
    s += "Zebra-Quokka";
    return s;
  }();
  return text;
}

void SetBytes(benchmark::State& state, size_t bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void BM_Memmem(benchmark::State& state) {
  const std::string& s = MixedText();
  for (auto _ : state) {
    benchmark::DoNotOptimize(memmem(s.data(), s.size(), "Zebra-Quokka", 12));
  }
  SetBytes(state, s.size());
}
BENCHMARK(BM_Memmem);

void BM_FindText(benchmark::State& state) {
  Text text(MixedText());
  Text sought("Zebra-Quokka");
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, sought));
  SetBytes(state, MixedText().size());
}
BENCHMARK(BM_FindText);

void BM_FindTextIgnoreCase(benchmark::State& state) {
  Text text(MixedText());
  Text sought("zEBRA-qUOKKA");
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, sought, 1, true));
  SetBytes(state, MixedText().size());
}
BENCHMARK(BM_FindTextIgnoreCase);

// A sought text that occurs often, so most of the time goes to checking
// candidates for character starts.
void BM_FindTextFrequent(benchmark::State& state) {
  Text text(MixedText());
  Text sought("the");
  for (auto _ : state) {
    int count = 0;
    for (int p = FindText(text, sought); p != -1; p = FindText(text, sought, p + 1)) ++count;
    benchmark::DoNotOptimize(count);
  }
  SetBytes(state, MixedText().size());
}
BENCHMARK(BM_FindTextFrequent);

void BM_ReplaceText(benchmark::State& state) {
  Text text(MixedText());
  for (auto _ : state) benchmark::DoNotOptimize(ReplaceText(text, "cookie", "COOKIE"));
  SetBytes(state, MixedText().size());
}
BENCHMARK(BM_ReplaceText);

void BM_ReplaceTextIgnoreCase(benchmark::State& state) {
  Text text(MixedText());
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReplaceText(text, "COOKIE", "x", 1, std::nullopt, false));
  }
  SetBytes(state, MixedText().size());
}
BENCHMARK(BM_ReplaceTextIgnoreCase);

void BM_SplitTextLines(benchmark::State& state) {
  Text text(MixedText());
  for (auto _ : state) benchmark::DoNotOptimize(SplitText(text, "\r\n"));
  SetBytes(state, MixedText().size());
}
BENCHMARK(BM_SplitTextLines);

void BM_PercentEncodeUtf8(benchmark::State& state) {
  Text text(MixedText());
  for (auto _ : state) benchmark::DoNotOptimize(PercentEncode(text, false, true));
  SetBytes(state, MixedText().size());
}
BENCHMARK(BM_PercentEncodeUtf8);

void BM_PercentDecodeUtf8(benchmark::State& state) {
  Text encoded = PercentEncode(MixedText(), false, true);
  for (auto _ : state) benchmark::DoNotOptimize(PercentDecode(encoded, true));
  SetBytes(state, static_cast<size_t>(encoded.size()));
}
BENCHMARK(BM_PercentDecodeUtf8);

const Text& Utf8Text() {
  static const Text utf8 = GbkToUtf8(MixedText());
  return utf8;
}

// One iconv call over the whole input into a buffer made beforehand.
void RawIconv(benchmark::State& state, const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv_open failed");
    return;
  }
  std::string out(in.size() * 2 + 16, '\0');
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    benchmark::DoNotOptimize(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft));
    benchmark::ClobberMemory();
  }
  iconv_close(cd);
  SetBytes(state, in.size());
}

void BM_IconvUtf8ToGbk(benchmark::State& state) {
  RawIconv(state, "CP936", "UTF-8", Utf8Text().str());
}
BENCHMARK(BM_IconvUtf8ToGbk);

void BM_Utf8ToGbk(benchmark::State& state) {
  const Text& utf8 = Utf8Text();
  for (auto _ : state) benchmark::DoNotOptimize(Utf8ToGbk(utf8));
  SetBytes(state, static_cast<size_t>(utf8.size()));
}
BENCHMARK(BM_Utf8ToGbk);

void BM_IconvGbkToUtf8(benchmark::State& state) {
  RawIconv(state, "UTF-8", "CP936", MixedText());
}
BENCHMARK(BM_IconvGbkToUtf8);

void BM_GbkToUtf8(benchmark::State& state) {
  Text text(MixedText());
  for (auto _ : state) benchmark::DoNotOptimize(GbkToUtf8(text));
  SetBytes(state, MixedText().size());
}
BENCHMARK(BM_GbkToUtf8);

}  // namespace
