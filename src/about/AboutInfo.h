#pragma once

// The words of the About box that are this project's own, kept in one place.
namespace hibi::about {

inline constexpr char16_t kCredit[] = u"ヒビシルシ開発チーム";
inline constexpr char kHomePage[] = "https://hibi.example.org/";

} // namespace hibi::about
