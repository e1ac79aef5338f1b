// The MD5 class and MIME Base64 over 1 MiB, each beside OpenSSL doing the
// same work (EVP MD5, EVP_EncodeBlock, EVP_DecodeBlock).

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "encoding/md5.h"
#include "ovpb32.h"

namespace {

constexpr int kMiB = 1 << 20;

const std::vector<unsigned char>& Data() {
  static const std::vector<unsigned char> data = [] {
    std::vector<unsigned char> bytes(kMiB);
    std::mt19937 random(1321);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    return bytes;
  }();
  return data;
}

int EncodedLength(int length) { return 4 * ((length + 2) / 3); }

const std::vector<char>& Text() {
  static const std::vector<char> text = [] {
    std::vector<char> encoded(EncodedLength(kMiB));
    EncodeAsMimeBase64A(Data().data(), encoded.data(), kMiB);
    return encoded;
  }();
  return text;
}

void Check(bool same, const char* what) {
  if (!same) {
    std::fprintf(stderr, "%s: the library and OpenSSL disagree\n", what);
    std::abort();
  }
}

void LibraryMd5(benchmark::State& state) {
  uint8_t digest[16];
  for (auto _ : state) {
    encoding::MD5 md5;
    md5.update(Data().data(), kMiB);
    md5.finalize();
    std::memcpy(digest, md5.raw_digest(), 16);
    benchmark::DoNotOptimize(digest);
  }
  unsigned char anchor[EVP_MAX_MD_SIZE];
  EVP_Digest(Data().data(), kMiB, anchor, nullptr, EVP_md5(), nullptr);
  Check(std::memcmp(digest, anchor, 16) == 0, "MD5");
  state.SetBytesProcessed(state.iterations() * kMiB);
}

void OpenSslMd5(benchmark::State& state) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  for (auto _ : state) {
    EVP_Digest(Data().data(), kMiB, digest, nullptr, EVP_md5(), nullptr);
    benchmark::DoNotOptimize(digest);
  }
  state.SetBytesProcessed(state.iterations() * kMiB);
}

void LibraryMimeEncode(benchmark::State& state) {
  std::vector<char> text(EncodedLength(kMiB));
  for (auto _ : state) {
    benchmark::DoNotOptimize(EncodeAsMimeBase64A(Data().data(), text.data(), kMiB));
    benchmark::ClobberMemory();
  }
  std::vector<unsigned char> anchor(text.size() + 1);
  EVP_EncodeBlock(anchor.data(), Data().data(), kMiB);
  Check(std::memcmp(text.data(), anchor.data(), text.size()) == 0, "MIME encoding");
  state.SetBytesProcessed(state.iterations() * kMiB);
}

void OpenSslEncodeBlock(benchmark::State& state) {
  std::vector<unsigned char> text(EncodedLength(kMiB) + 1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_EncodeBlock(text.data(), Data().data(), kMiB));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kMiB);
}

void LibraryMimeDecode(benchmark::State& state) {
  std::vector<unsigned char> out(kMiB + 3);
  int decoded = 0;
  for (auto _ : state) {
    decoded = DecodeAsMimeBase64A(Text().data(), out.data(), static_cast<int>(Text().size()));
    benchmark::DoNotOptimize(decoded);
    benchmark::ClobberMemory();
  }
  Check(decoded == kMiB && std::memcmp(out.data(), Data().data(), kMiB) == 0, "MIME decoding");
  state.SetBytesProcessed(state.iterations() * kMiB);
}

// EVP_DecodeBlock gives back the padding bytes as zeros too; the work is the same.
void OpenSslDecodeBlock(benchmark::State& state) {
  std::vector<unsigned char> out(kMiB + 3);
  const auto* text = reinterpret_cast<const unsigned char*>(Text().data());
  for (auto _ : state) {
    benchmark::DoNotOptimize(EVP_DecodeBlock(out.data(), text, static_cast<int>(Text().size())));
    benchmark::ClobberMemory();
  }
  Check(std::memcmp(out.data(), Data().data(), kMiB) == 0, "MIME decoding");
  state.SetBytesProcessed(state.iterations() * kMiB);
}

BENCHMARK(LibraryMd5);
BENCHMARK(OpenSslMd5);
BENCHMARK(LibraryMimeEncode);
BENCHMARK(OpenSslEncodeBlock);
BENCHMARK(LibraryMimeDecode);
BENCHMARK(OpenSslDecodeBlock);

}  // namespace

BENCHMARK_MAIN();
