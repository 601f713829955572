#pragma once

#include <stdexcept>
#include <string>

namespace pellin
{

// Failure numbers the system relies on, each with the toolkit's own text.
namespace failure
{
enum Number : int {
    TypeMismatch = 13,
    FileNotFound = 53,
    PathFileAccess = 75,
    PathNotFound = 76,
    InvalidPropertyValue = 380,
    InvalidPicture = 481,
    IndexOutOfBounds = 35600,
    ElementNotFound = 35601,
    KeyNotUnique = 35602,
};

constexpr const char *description(Number number)
{
    switch (number) {
    case TypeMismatch:
        return "Type mismatch";
    case FileNotFound:
        return "File not found";
    case PathFileAccess:
        return "Path/File access error";
    case PathNotFound:
        return "Path not found";
    case InvalidPropertyValue:
        return "Invalid property value";
    case InvalidPicture:
        return "Invalid picture";
    case IndexOutOfBounds:
        return "Index out of bounds";
    case ElementNotFound:
        return "Element not found";
    case KeyNotUnique:
        return "Key is not unique in collection";
    }
    return "Application-defined or object-defined error";
}
} // namespace failure

// The one failure type of the program: a number and a description, as the toolkit,
// file operations and the player's own checks raise them.
class Failure : public std::runtime_error
{
  public:
    explicit Failure(failure::Number number) : Failure(number, failure::description(number)) {}
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

} // namespace pellin
