// SPDX-License-Identifier: GPL-3.0-or-later
// Sorting a full channel list: all 256 memory channels (128 per section) in a scrambled order,
// sorted by Rx frequency, Tx frequency and name with the core function the desktop program and
// kestra-cli run. Each iteration starts from a copy of the unsorted image (16 KiB, counted in
// the time). The list should sort in well under 5 ms.

#include <benchmark/benchmark.h>

#include <string>

#include "channels/channel_list.hpp"
#include "channels/image_preparation.hpp"
#include "model/channel_record.hpp"
#include "model/document_file.hpp"

namespace {

using namespace kestra;

// 256 channels with frequencies and names in no order (a fixed scramble), some names in lower
// case and some channels without a name, their bitmaps as a save leaves them.
MemoryImage ScrambledFullImage(const SectionLimits& limits) {
    MemoryImage image = BuiltInDocumentImage();
    for (int record = 0; record < 2 * kListSectionSize; ++record) {
        const int scrambled = (record * 97 + 31) % kListSectionSize;
        const Frequency base = record < kListSectionSize ? 14400000 : 43000000;
        WriteClearedRecord(image, record);
        ChannelRecord channel(image, record);
        channel.SetRxFrequency(base + scrambled * 1250);
        channel.SetTxFrequency(base + ((scrambled * 13) % kListSectionSize) * 2500);
        if (record % 7 != 0) {
            channel.SetName((record % 3 == 0 ? "rpt" : "CH") + std::to_string(scrambled));
        }
    }
    PrepareImageForWrite(image, limits);
    return image;
}

void SortFullList(benchmark::State& state, SortKey key) {
    const SectionLimits limits;
    const MemoryImage unsorted = ScrambledFullImage(limits);
    const SortOptions options{key, false, SortSections::Both};
    for (auto _ : state) {
        MemoryImage image = unsorted;
        SortChannels(image, limits, options);
        benchmark::DoNotOptimize(image);
    }
}

void BM_Sort256ByRx(benchmark::State& state) {
    SortFullList(state, SortKey::RxFrequency);
}
void BM_Sort256ByTx(benchmark::State& state) {
    SortFullList(state, SortKey::TxFrequency);
}
void BM_Sort256ByName(benchmark::State& state) {
    SortFullList(state, SortKey::Name);
}

BENCHMARK(BM_Sort256ByRx)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sort256ByTx)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sort256ByName)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
