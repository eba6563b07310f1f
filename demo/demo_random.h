#pragma once

#include <QList>
#include <cstdint>
#include <random>

// The generator's only source of chance: std::mt19937 seeded with the --seed value. The helpers
// take the engine's raw output themselves instead of using the standard distributions, whose
// results the standard leaves to each library, so a seed gives the same data on every platform.
class DemoRandom {
public:
    explicit DemoRandom(std::uint32_t seed) : engine_(seed) {}

    // A whole number from low to high, both included.
    int between(int low, int high) {
        const std::uint64_t span = std::uint64_t(std::int64_t(high) - low) + 1;
        return int(low + std::int64_t(next64() % span));
    }

    // True with the given chance in percent.
    bool percent(int chance) { return between(0, 99) < chance; }

    template <typename T> const T& pick(const QList<T>& items) {
        return items.at(between(0, int(items.size()) - 1));
    }

private:
    std::uint64_t next64() { return (std::uint64_t(engine_()) << 32) | engine_(); }

    std::mt19937 engine_;
};
