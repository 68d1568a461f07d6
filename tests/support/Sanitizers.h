// Whether this test build runs under AddressSanitizer: its quarantine keeps freed memory
// resident and its instrumentation slows every instrumented program several times over.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool SanitizerBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool SanitizerBuild = true;
#else
inline constexpr bool SanitizerBuild = false;
#endif
#else
inline constexpr bool SanitizerBuild = false;
#endif
