#pragma once

// The command language's error codes used by this layer (the reference's section on errors).
namespace mci::error
{

inline constexpr unsigned None = 0;
inline constexpr unsigned UnrecognizedKeyword = 259;
inline constexpr unsigned UnrecognizedCommand = 261;
inline constexpr unsigned InvalidDeviceName = 263;
inline constexpr unsigned DeviceOpen = 265;
inline constexpr unsigned MissingCommandString = 267;
inline constexpr unsigned ParamOverflow = 268;
inline constexpr unsigned MissingStringArgument = 269;
inline constexpr unsigned BadInteger = 270;
inline constexpr unsigned MissingParameter = 273;
inline constexpr unsigned UnsupportedFunction = 274;
inline constexpr unsigned FileNotFound = 275;
inline constexpr unsigned Internal = 277;
inline constexpr unsigned CannotUseAll = 279;
inline constexpr unsigned Multiple = 280;
inline constexpr unsigned ExtensionNotFound = 281;
inline constexpr unsigned OutOfRange = 282;
inline constexpr unsigned FlagsNotCompatible = 284;
inline constexpr unsigned DeviceTypeRequired = 287;
inline constexpr unsigned DuplicateAlias = 289;
inline constexpr unsigned BadConstant = 290;
inline constexpr unsigned MissingDeviceName = 292;
inline constexpr unsigned BadTimeFormat = 293;
inline constexpr unsigned NoClosingQuote = 294;
inline constexpr unsigned DuplicateFlags = 295;
inline constexpr unsigned InvalidFile = 296;
inline constexpr unsigned NewRequiresAlias = 299;
inline constexpr unsigned NonapplicableFunction = 302;
inline constexpr unsigned ExtraCharacters = 305;
inline constexpr unsigned DeviceNotInstalled = 306;
inline constexpr unsigned NoWindow = 346;
inline constexpr unsigned CreateWindow = 347;
inline constexpr unsigned FileRead = 348;

} // namespace mci::error
