#pragma once

#include <stdexcept>
#include <string>

namespace pellin
{

// The one failure type of the program: a number and a description, as the toolkit,
// file operations and the player's own checks raise them.
class Failure : public std::runtime_error
{
  public:
    Failure(int number, std::string description)
        : std::runtime_error(description), mNumber(number), mDescription(std::move(description))
    {
    }

    int number() const { return mNumber; }
    const std::string &description() const { return mDescription; }

  private:
    int mNumber;
    std::string mDescription;
};

// Failure numbers the system relies on.
namespace failure
{
inline constexpr int TypeMismatch = 13;
inline constexpr int FileNotFound = 53;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int KeyNotUnique = 35602;
} // namespace failure

} // namespace pellin
