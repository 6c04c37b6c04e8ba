// Throughput of the data-file cipher on a 32 MiB payload, next to a plain copy.

#include "foundation/DataFileKeys.h"
#include "foundation/MemoryStream.h"
#include "foundation/ZEP_Crypt.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

constexpr std::size_t payloadSize = 32u << 20;

const std::string& payload() {
  static const std::string bytes = [] {
    std::string s(payloadSize, '\0');
    std::mt19937_64 gen(2002);
    for (std::size_t i = 0; i + 8 <= s.size(); i += 8) {
      const auto v = gen();
      std::memcpy(&s[i], &v, 8);
    }
    return s;
  }();
  return bytes;
}

void MemoryCopy(benchmark::State& state) {
  std::string out(payloadSize, '\0');
  for (auto _ : state) {
    std::memcpy(out.data(), payload().data(), payloadSize);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(payloadSize));
}

void Encrypt(benchmark::State& state) {
  tessel::MemoryStream source(payload()), destination;
  for (auto _ : state) {
    tessel::EncryptStream(source, tessel::secondKeyText, destination);
    benchmark::DoNotOptimize(destination.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(payloadSize));
}

void Decrypt(benchmark::State& state) {
  tessel::MemoryStream plain(payload()), source, destination;
  tessel::EncryptStream(plain, tessel::secondKeyText, source);
  for (auto _ : state) {
    tessel::DecryptStream(source, tessel::secondKeyText, destination);
    benchmark::DoNotOptimize(destination.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(payloadSize));
}

} // namespace

BENCHMARK(MemoryCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Encrypt)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Decrypt)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
