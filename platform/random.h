// Random draws as the core sees them; tests give it a scripted source.
#pragma once

#include <random>

namespace wf {

class Random {
public:
    virtual ~Random() = default;
    // A uniform integer in [low, high]; low when high < low.
    virtual int uniform(int low, int high) = 0;
};

class SystemRandom : public Random {
public:
    SystemRandom() : m_engine(std::random_device{}()) {}
    explicit SystemRandom(unsigned seed) : m_engine(seed) {}
    int uniform(int low, int high) override {
        if (high <= low) return low;
        return std::uniform_int_distribution<int>(low, high)(m_engine);
    }

private:
    std::mt19937 m_engine;
};

}  // namespace wf
