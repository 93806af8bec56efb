// A random source that hands out a scripted list of fractions, so a generation's every
// roll can be chosen by the test.
#pragma once

#include <cmath>
#include <deque>
#include <utility>
#include <vector>

#include "model/modTarvock.h"

namespace quelvane::testing {

class ScriptedRandom final : public RandomSource {
public:
    void Reseed() override { ++reseeds; }
    double NextFraction() override
    {
        if (fractions.empty()) {
            exhausted = true;
            return 0.0;
        }
        const double r = fractions.front();
        fractions.pop_front();
        ++drawn;
        return r;
    }

    // A fraction that rolls exactly `roll` on a roll of 1 to n.
    ScriptedRandom &Roll(int roll, int n)
    {
        fractions.push_back((roll - 0.5) / n);
        return *this;
    }
    ScriptedRandom &Fraction(double r)
    {
        fractions.push_back(r);
        return *this;
    }

    std::deque<double> fractions;
    int reseeds = 0;
    int drawn = 0;
    bool exhausted = false;
};

// Rolls for a whole generation in draw order; skill passes and name letters are given
// by the caller.
struct GenerationScript {
    int attributes[8] = {10, 10, 10, 10, 10, 10, 10, 10}; // 5..20
    int service = 9;   // 1..20
    int cover = 0;     // 1..7, drawn only for Internal Security
    int mutant = 1;    // 1..20
    int society = 1;   // 1..16 or 1..15
    // (points 1..5, skill 1..50) per pass.
    std::vector<std::pair<int, int>> passes = {{5, 1}, {5, 2}, {5, 3}, {5, 4}, {5, 5}, {5, 6}};
    // Letter rolls 1..26 and vowel rolls 1..5, in draw order.
    std::vector<std::pair<int, int>> nameRolls = {{1, 26}, {2, 26}, {3, 26}, {5, 26}, {1, 26}};

    void Load(ScriptedRandom &random) const
    {
        for (int attribute : attributes)
            random.Roll(attribute - 4, 16);
        random.Roll(service, 20);
        if (service <= 2)
            random.Roll(cover, 7);
        random.Roll(mutant, 20);
        random.Roll(society, mutant >= 11 ? 15 : 16);
        for (auto [points, skill] : passes) {
            random.Roll(points, 5);
            random.Roll(skill, 50);
        }
        for (auto [roll, n] : nameRolls)
            random.Roll(roll, n);
    }
};

} // namespace quelvane::testing
