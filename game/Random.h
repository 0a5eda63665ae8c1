#pragma once

#include "core/RunTimeError.h"

#include <QtGlobal>

#include <cmath>
#include <limits>
#include <span>
#include <utility>

// The game's pseudo-random numbers: uniform, reseeded from a fine clock at every shuffle.
namespace Random {

// Reseeds the generator from the nanosecond clock mixed with a call counter, so that two
// reseeds in quick succession never give the same sequence.
void Reseed();

// The next uniform number, 0 <= r < 1 (single precision, as the game has always drawn them).
float Next();

// A random whole number from low to high inclusive (for low <= high): the largest whole number
// not above n * r + low, where n = high + 1 - low in the integer's own width (error 6 when
// that overflows).
template <class Int>
Int RandomInt(Int low, Int high)
{
    const long long n = static_cast<long long>(high) + 1 - static_cast<long long>(low);
    if (n < std::numeric_limits<Int>::min() || n > std::numeric_limits<Int>::max())
        throw RunTimeError::standard(Err::Overflow);
    const double value = std::floor(double(n) * double(Next()) + double(low));
    return static_cast<Int>(value);
}

// Fills arr, whose first element has index lowerBound, with a random permutation of its own
// index values (forward Fisher-Yates), reseeding the generator first.
template <class Int>
void ShuffleArray(std::span<Int> arr, Int lowerBound)
{
    if (arr.empty())
        return;
    const long long upper = static_cast<long long>(lowerBound) + static_cast<long long>(arr.size()) - 1;
    if (upper > std::numeric_limits<Int>::max())
        throw RunTimeError::standard(Err::Overflow);
    for (std::size_t k = 0; k < arr.size(); ++k)
        arr[k] = static_cast<Int>(lowerBound + static_cast<Int>(k));
    Reseed();
    const Int high = static_cast<Int>(upper);
    for (std::size_t k = 0; k < arr.size(); ++k) {
        const Int i = static_cast<Int>(lowerBound + static_cast<Int>(k));
        const Int j = RandomInt<Int>(i, high);
        std::swap(arr[k], arr[std::size_t(j - lowerBound)]);
    }
}
}
