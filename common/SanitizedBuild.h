#pragma once

// True in a build instrumented by AddressSanitizer (clang or gcc). Such a
// build runs a few times slower and keeps freed memory in quarantine, so
// what it may take in rounds, time or memory is set apart where that matters.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitizedBuild = true;
#else
inline constexpr bool kSanitizedBuild = false;
#endif
#else
inline constexpr bool kSanitizedBuild = false;
#endif
