#include "tally/Tally.h"

#include "storage/CalendarFile.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define HIBI_64_BYTE_STEPS 1
#endif

namespace hibi {

namespace {

// The machine code is made twice where the compiler can: for AVX2 and for any
// x86-64, the choice falling at load time.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define HIBI_WIDE_CODE [[gnu::target_clones("avx2", "default")]]
#else
#define HIBI_WIDE_CODE
#endif

constexpr int kLanes = 32;
using Lanes = std::uint8_t __attribute__((vector_size(kLanes)));

std::uint64_t laneSum(const Lanes &v)
{
    std::uint64_t sum = 0;
    for (int i = 0; i < kLanes; ++i)
        sum += v[i];
    return sum;
}

struct WideCounts
{
    std::uint64_t maru = 0;
    std::uint64_t batu = 0;
    std::uint64_t sankaku = 0;
};

// Bytes just read from a file come from the outer cache, where the system's copy
// leaves them, and the processor's own prefetching alone leaves the count
// waiting on them; asking a few kilobytes ahead makes up about a third of that.
constexpr std::size_t kPrefetchAhead = 4096;

// The address is made as a number: near the end of the bytes it lies past them,
// where a pointer may not point, and a prefetch is only a hint that never faults.
void prefetchAhead(const std::uint8_t *bytes, std::size_t i)
{
#ifdef __GNUC__
    __builtin_prefetch(reinterpret_cast<const void *>(reinterpret_cast<std::uintptr_t>(bytes) + i + kPrefetchAhead));
#else
    (void)bytes;
    (void)i;
#endif
}

void addByte(WideCounts &counts, std::uint8_t b)
{
    counts.maru += b == 1;
    counts.batu += b == 2;
    counts.sankaku += b == 3;
}

// One pass over the bytes, 32 at a time: each lane counts its ○, × and △ in a
// byte, and the bytes are added up every 255 steps, before they could overflow.
HIBI_WIDE_CODE
void countBytesIn32(const std::uint8_t *bytes, std::size_t size, WideCounts &counts)
{
    std::size_t i = 0;
    while (size - i >= kLanes) {
        const std::size_t steps = std::min<std::size_t>((size - i) / kLanes, 255);
        Lanes maru{};
        Lanes batu{};
        Lanes sankaku{};
        for (std::size_t step = 0; step < steps; ++step, i += kLanes) {
            prefetchAhead(bytes, i);
            Lanes v;
            std::memcpy(&v, bytes + i, kLanes);
            // A lane that matches compares as all ones, that is −1.
            maru -= Lanes(v == 1);
            batu -= Lanes(v == 2);
            sankaku -= Lanes(v == 3);
        }
        counts.maru += laneSum(maru);
        counts.batu += laneSum(batu);
        counts.sankaku += laneSum(sankaku);
    }
    for (; i < size; ++i)
        addByte(counts, bytes[i]);
}

#ifdef HIBI_64_BYTE_STEPS
// The same with AVX-512, 64 bytes a step: a compare gives a mask, and the mask
// picks the lanes that add one. The last bytes that don't fill a step are one
// more step, loaded through a mask that leaves the lanes beyond them zero.
[[gnu::target("avx512bw")]]
void countBytesIn64(const std::uint8_t *bytes, std::size_t size, WideCounts &counts)
{
    const __m512i zero = _mm512_setzero_si512();
    const __m512i one = _mm512_set1_epi8(1);
    const __m512i two = _mm512_set1_epi8(2);
    const __m512i three = _mm512_set1_epi8(3);
    // Every 255 steps the byte counters are added, eight at a time, into
    // 64-bit ones, which are added up once at the end.
    __m512i maruSum = zero;
    __m512i batuSum = zero;
    __m512i sankakuSum = zero;
    std::size_t i = 0;
    while (size - i >= 64) {
        const std::size_t steps = std::min<std::size_t>((size - i) / 64, 255);
        __m512i maru = zero;
        __m512i batu = zero;
        __m512i sankaku = zero;
        for (std::size_t step = 0; step < steps; ++step, i += 64) {
            prefetchAhead(bytes, i);
            const __m512i v = _mm512_loadu_si512(bytes + i);
            maru = _mm512_mask_add_epi8(maru, _mm512_cmpeq_epi8_mask(v, one), maru, one);
            batu = _mm512_mask_add_epi8(batu, _mm512_cmpeq_epi8_mask(v, two), batu, one);
            sankaku = _mm512_mask_add_epi8(sankaku, _mm512_cmpeq_epi8_mask(v, three), sankaku, one);
        }
        maruSum = _mm512_add_epi64(maruSum, _mm512_sad_epu8(maru, zero));
        batuSum = _mm512_add_epi64(batuSum, _mm512_sad_epu8(batu, zero));
        sankakuSum = _mm512_add_epi64(sankakuSum, _mm512_sad_epu8(sankaku, zero));
    }
    if (i < size) {
        const __m512i v = _mm512_maskz_loadu_epi8((__mmask64(1) << (size - i)) - 1, bytes + i);
        maruSum = _mm512_add_epi64(maruSum, _mm512_sad_epu8(_mm512_maskz_mov_epi8(_mm512_cmpeq_epi8_mask(v, one), one), zero));
        batuSum = _mm512_add_epi64(batuSum, _mm512_sad_epu8(_mm512_maskz_mov_epi8(_mm512_cmpeq_epi8_mask(v, two), one), zero));
        sankakuSum = _mm512_add_epi64(sankakuSum, _mm512_sad_epu8(_mm512_maskz_mov_epi8(_mm512_cmpeq_epi8_mask(v, three), one), zero));
    }
    // Lane by lane, as the compilers let a vector be indexed: GCC 12's reducing
    // intrinsic warns of a lane it leaves undefined, and storing the vectors to
    // memory faults in an unoptimised sanitizer build, whose stack slots for
    // them are not 64-byte aligned.
    for (int k = 0; k < 8; ++k) {
        counts.maru += std::uint64_t(maruSum[k]);
        counts.batu += std::uint64_t(batuSum[k]);
        counts.sankaku += std::uint64_t(sankakuSum[k]);
    }
}

// A calendar's bytes are all 0 to 3, and for such bytes the three counts follow
// from three sums: of the bytes, of their squares and of their cubes,
//   s1 = n1 + 2 n2 + 3 n3,   s2 = n1 + 4 n2 + 9 n3,   s3 = n1 + 8 n2 + 27 n3.
// Each sum takes one instruction per 64 bytes (a byte add, or a multiply-add of
// byte pairs into 32-bit lanes), where comparing takes two for each mark. Any
// other byte shows in all the bytes or-ed together, and then these bytes are
// counted by comparing after all.
constexpr std::size_t kSumsStep = 128;    // two loads a step
constexpr std::size_t kSumsFrom = 4096;   // shorter runs: the end of the sums costs more than it saves
// A run at a time: a 32-bit lane's sum of cubes then stays below 2^25, far
// from overflowing.
constexpr std::size_t kSumsMost = std::size_t(1) << 24;
using Int32Lanes = std::int32_t __attribute__((vector_size(64)));

bool hasSums()
{
    static const bool sums = WidestStepBytes() == 64 && __builtin_cpu_supports("avx512vnni");
    return sums;
}

// `size` a whole number of steps, at most kSumsMost; false, with `counts` left
// alone, when a byte is above 3.
[[gnu::target("avx512bw,avx512vnni")]]
bool countSmallBytesBySums(const std::uint8_t *bytes, std::size_t size, WideCounts &counts)
{
    Q_ASSERT(size % kSumsStep == 0 && size <= kSumsMost);
    const __m512i zero = _mm512_setzero_si512();
    // A byte's square, looked up by its low four bits: 0, 1, 4, 9 and then zeros,
    // in each 16-byte quarter.
    const __m512i squares = _mm512_set4_epi32(0, 0, 0, 0x09040100);
    __m512i sums = zero;                        // of the bytes, 64-bit lanes
    __m512i squaresA = zero, squaresB = zero;   // 32-bit lanes, two for the adds' latency
    __m512i cubesA = zero, cubesB = zero;
    __m512i seen = zero;                        // every byte or-ed together
    std::size_t i = 0;
    while (i < size) {
        // A byte lane gains at most 2 × 3 a step: 42 steps stay below 256.
        const std::size_t end = std::min(size, i + 42 * kSumsStep);
        __m512i byteSums = zero;
        for (; i < end; i += kSumsStep) {
            prefetchAhead(bytes, i);
            prefetchAhead(bytes, i + 64);
            const __m512i v = _mm512_loadu_si512(bytes + i);
            const __m512i w = _mm512_loadu_si512(bytes + i + 64);
            byteSums = _mm512_add_epi8(byteSums, _mm512_add_epi8(v, w));
            squaresA = _mm512_dpbusd_epi32(squaresA, v, v);
            squaresB = _mm512_dpbusd_epi32(squaresB, w, w);
            cubesA = _mm512_dpbusd_epi32(cubesA, v, _mm512_shuffle_epi8(squares, v));
            cubesB = _mm512_dpbusd_epi32(cubesB, w, _mm512_shuffle_epi8(squares, w));
            seen = _mm512_ternarylogic_epi64(seen, v, w, 0xFE);   // seen | v | w
        }
        sums = _mm512_add_epi64(sums, _mm512_sad_epu8(byteSums, zero));
    }
    if (_mm512_test_epi8_mask(seen, _mm512_set1_epi8(char(0xFC))) != 0)
        return false;
    // Lane by lane, as in countBytesIn64.
    const Int32Lanes squareLanes = Int32Lanes(_mm512_add_epi32(squaresA, squaresB));
    const Int32Lanes cubeLanes = Int32Lanes(_mm512_add_epi32(cubesA, cubesB));
    std::uint64_t s1 = 0;
    std::uint64_t s2 = 0;
    std::uint64_t s3 = 0;
    for (int k = 0; k < 8; ++k)
        s1 += std::uint64_t(sums[k]);
    for (int k = 0; k < 16; ++k) {
        s2 += std::uint32_t(squareLanes[k]);
        s3 += std::uint32_t(cubeLanes[k]);
    }
    // s2 - s1 = 2 n2 + 6 n3 and s3 - s2 = 4 n2 + 18 n3.
    const std::uint64_t n3 = ((s3 - s2) - 2 * (s2 - s1)) / 6;
    const std::uint64_t n2 = ((s2 - s1) - 6 * n3) / 2;
    counts.maru += s1 - 2 * n2 - 3 * n3;
    counts.batu += n2;
    counts.sankaku += n3;
    return true;
}
#endif

void countBytes(const std::uint8_t *bytes, std::size_t size, WideCounts &counts)
{
#ifdef HIBI_64_BYTE_STEPS
    if (WidestStepBytes() == 64) {
        // Whole steps by sums while the run is long enough, the rest by comparing.
        std::size_t done = 0;
        if (hasSums())
            while (size - done >= kSumsFrom) {
                const std::size_t n = std::min(kSumsMost, (size - done) / kSumsStep * kSumsStep);
                if (!countSmallBytesBySums(bytes + done, n, counts))
                    countBytesIn64(bytes + done, n, counts);
                done += n;
            }
        countBytesIn64(bytes + done, size - done, counts);
        return;
    }
#endif
    countBytesIn32(bytes, size, counts);
}

void add(MarkCounts &counts, const WideCounts &wide)
{
    counts.maru += int(wide.maru);
    counts.batu += int(wide.batu);
    counts.sankaku += int(wide.sankaku);
}

} // namespace

bool CountsBySums()
{
#ifdef HIBI_64_BYTE_STEPS
    return hasSums();
#else
    return false;
#endif
}

int WidestStepBytes()
{
#ifdef HIBI_64_BYTE_STEPS
    static const int widest = __builtin_cpu_supports("avx512bw") ? 64 : kLanes;
    return widest;
#else
    return kLanes;
#endif
}

MarkCounts CountMarkBytes(const std::uint8_t *bytes, qsizetype size, StepWidth width)
{
    const std::size_t n = std::size_t(std::max<qsizetype>(size, 0));
    WideCounts wide;
    if (width == StepWidth::Widest)
        countBytes(bytes, n, wide);
    else
        countBytesIn32(bytes, n, wide);
    MarkCounts counts;
    add(counts, wide);
    return counts;
}

MarkCounts TallyAll(const QString &calendarPath)
{
    WideCounts wide;
    ForEachRecordBlock(calendarPath, [&](std::uint8_t *records, qint64 count) {
        // The year words are never marks: cleared in the block, they count as
        // nothing, and the whole run is counted at once.
        for (qint64 k = 0; k < count; ++k) {
            records[kRecordSize * k] = 0;
            records[kRecordSize * k + 1] = 0;
        }
        countBytes(records, std::size_t(kRecordSize * count), wide);
    });
    MarkCounts counts;
    add(counts, wide);
    return counts;
}

void OrderRange(RangePoint &start, RangePoint &end)
{
    if (std::tie(end.year, end.month, end.day) < std::tie(start.year, start.month, start.day))
        std::swap(start, end);
}

MarkCounts TallyRange(const QString &calendarPath, RangePoint &start, RangePoint &end)
{
    OrderRange(start, end);
    const RangePoint &s = start;
    const RangePoint &e = end;
    const int startCell = FileCellIndex(s.month, s.column, s.row);
    const int endCell = FileCellIndex(e.month, e.column, e.row);

    WideCounts wide;
    ForEachYearRecord(calendarPath, [&](std::uint16_t year, const std::uint8_t *cells) {
        // Cells are visited in file order, month by month and row by row, which is
        // the order of the days; the ends are found by their cell alone.
        int first = 0;
        int last = -1;
        if (s.year < year && year < e.year) {
            last = kYearCells - 1;
        } else if (year == s.year && year == e.year) {
            first = startCell;
            last = endCell;
        } else if (year == s.year) {
            first = startCell;
            last = kYearCells - 1;
        } else if (year == e.year) {
            last = endCell;
        }
        if (first <= last)
            countBytes(cells + first, std::size_t(last - first + 1), wide);
    });
    MarkCounts counts;
    add(counts, wide);
    return counts;
}

} // namespace hibi
