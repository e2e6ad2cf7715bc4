#pragma once

namespace zarivok {

// Texts that more than one place of the program shows or sends.
inline constexpr char kProgramName[] = "ZaRiVoK";
inline constexpr char kVersion[] = "v3.0b1";
// The account that may always command the bot; it is never stored in the user database.
inline constexpr char kMasterName[] = "QuEnDaR";

}  // namespace zarivok
