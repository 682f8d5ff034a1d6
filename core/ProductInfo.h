#pragma once
#include <string>

// Who makes VERDO and how the program names itself: the about box, the splash, the
// Help menu and the status bar all take their texts from here.
namespace verdo {

inline constexpr const char* ProductShortName = "VERDO";
inline constexpr const char* ProductVersion = "2.0";
// The status bar's second zone.
inline constexpr const char* ProductNameAndVersion = "VERDO 2.0";
// The about box's first line.
inline constexpr const char* ProductFullTitle = "Version Resource Organizer (VERDO) 2.0";
inline constexpr const char* ProductTagline = "Version information for your builds";

inline constexpr const char* MakerName = "VERDO Software";
// The domain the Help menu names.
inline constexpr const char* MakerDomain = "verdo.example";
inline constexpr const char* MakerEmail = "support@verdo.example";
inline constexpr const char* MakerWebAddress = "https://www.verdo.example/";

// The about box's notice, with the years of the releases.
inline constexpr const char* MakerNotice = "Copyright \u00A9 2019-2025 VERDO Software";
// The splash's single white line; short enough for the splash's width.
inline constexpr const char* SplashNotice = "\u00A9 2019-2025 VERDO Software. All rights reserved.";

// What the shell is asked to open for "send mail" and "visit the web site". Functions,
// not variables, so that window definitions built during static initialisation can use them.
inline std::string MakerMailTarget() { return std::string("mailto:") + MakerEmail; }
inline std::string MakerWebTarget() { return MakerWebAddress; }

// The Help menu's texts and their status-bar messages.
inline std::string HelpEmailMenuText() { return std::string("&E-mail ") + MakerDomain; }
inline std::string HelpEmailMessage() { return std::string("Send E-mail to ") + MakerDomain; }
inline std::string HelpVisitMenuText() { return std::string("&Visit ") + MakerDomain + " web site"; }
// "Vist" is the wording the status bar has always shown.
inline std::string HelpVisitMessage() { return std::string("Vist ") + MakerDomain + " web site"; }

}  // namespace verdo
