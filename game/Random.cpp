#include "game/Random.h"

#include <atomic>
#include <chrono>
#include <random>

namespace Random {
namespace {
std::mt19937 &generator()
{
    static std::mt19937 gen(std::random_device{}());
    return gen;
}
}

void Reseed()
{
    static std::atomic<std::uint32_t> calls{0};
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seq{std::uint32_t(now), std::uint32_t(std::uint64_t(now) >> 32), ++calls};
    generator().seed(seq);
}

float Next()
{
    // 24 random bits scaled into [0, 1): every value exactly representable, never 1.
    return float(generator()() >> 8) * (1.0f / 16777216.0f);
}
}
