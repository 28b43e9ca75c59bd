#include "session/LatencyHistogram.h"

#include <algorithm>
#include <bit>
#include <cmath>

int LatencyHistogram::bucketOf(std::uint32_t micros)
{
    if (micros < 2 * kSub)
        return int(micros);
    const int octave = std::bit_width(micros) - 1; // >= kSubBits + 1
    const int shift = octave - kSubBits;
    const int sub = int((micros >> shift) & (kSub - 1));
    return 2 * kSub + (octave - kSubBits - 1) * kSub + sub;
}

std::uint32_t LatencyHistogram::bucketValue(int bucket)
{
    if (bucket < 2 * kSub)
        return std::uint32_t(bucket);
    const int octave = (bucket - 2 * kSub) / kSub + kSubBits + 1;
    const int sub = (bucket - 2 * kSub) % kSub;
    const int shift = octave - kSubBits;
    const std::uint64_t low = (std::uint64_t(kSub + sub)) << shift;
    const std::uint64_t width = std::uint64_t(1) << shift;
    return std::uint32_t(std::min<std::uint64_t>(low + width / 2, UINT32_MAX));
}

void LatencyHistogram::add(std::uint32_t micros)
{
    ++mBuckets[std::size_t(bucketOf(micros))];
    ++mCount;
    mMax = std::max(mMax, micros);
}

std::uint32_t LatencyHistogram::percentile(double q) const
{
    if (mCount == 0)
        return 0;
    const double clamped = std::clamp(q, 0.0, 1.0);
    const std::uint64_t rank =
        std::max<std::uint64_t>(1, std::uint64_t(std::ceil(clamped * double(mCount))));
    std::uint64_t seen = 0;
    for (int b = 0; b < kBuckets; ++b) {
        seen += mBuckets[std::size_t(b)];
        if (seen >= rank)
            return std::min(bucketValue(b), mMax);
    }
    return mMax;
}
