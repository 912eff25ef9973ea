// Throughput of the CRC-16, which computes a table entry per byte, and of the checksum.
#include <ReportGenerator/Checksum.h>

#include <benchmark/benchmark.h>
#include <vector>

namespace {

std::vector<unsigned char> patternBytes(size_t size)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 131 + 7);
    return bytes;
}

void BM_Crc16(benchmark::State& state)
{
    std::vector<unsigned char> bytes = patternBytes(static_cast<size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc16(bytes.data(), static_cast<int>(bytes.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Crc16)->Arg(64)->Arg(4096)->Arg(1 << 20);

void BM_CalculateChecksum(benchmark::State& state)
{
    std::vector<unsigned char> bytes = patternBytes(static_cast<size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(CalculateChecksum(
            reinterpret_cast<unsigned short*>(bytes.data()), static_cast<int>(bytes.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_CalculateChecksum)->Arg(4096)->Arg(1 << 20);

} // namespace
