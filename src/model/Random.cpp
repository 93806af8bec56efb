#include "model/Random.h"

#include <atomic>
#include <chrono>

#include <pthread.h>
#include <unistd.h>

namespace quelvane {
namespace {

uint64_t SplitMix64(uint64_t &state)
{
    uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

std::atomic<uint64_t> g_seedCounter{0};

// getpid is a system call on every use and was most of a Generate's cost; the id is read once
// and again in a forked child, so two processes still never share it.
std::atomic<uint64_t> g_pid{0};

void RefreshPid()
{
    g_pid.store(static_cast<uint64_t>(::getpid()), std::memory_order_relaxed);
}

} // namespace

uint64_t SeedProcessId()
{
    static const bool registered = [] {
        RefreshPid();
        pthread_atfork(nullptr, nullptr, RefreshPid);
        return true;
    }();
    (void)registered;
    return g_pid.load(std::memory_order_relaxed);
}

void Xoshiro256::Seed(uint64_t seed)
{
    uint64_t state = seed;
    for (auto &word : s_)
        word = SplitMix64(state);
}

uint64_t Xoshiro256::Next()
{
    const uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    const uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
}

uint64_t ClockSeed()
{
    // The clock alone repeats within one tick; the counter and pid make every call distinct.
    uint64_t state = static_cast<uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    state ^= SeedProcessId() << 40;
    uint64_t mixed = SplitMix64(state);
    uint64_t counter = g_seedCounter.fetch_add(1, std::memory_order_relaxed);
    state = mixed ^ (counter * 0xd1b54a32d192ed03ULL);
    return SplitMix64(state);
}

void ClockRandom::Reseed()
{
    lastSeed_ = ClockSeed();
    rng_.Seed(lastSeed_);
}

} // namespace quelvane
