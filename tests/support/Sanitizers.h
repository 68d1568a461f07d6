// Whether this test build runs under AddressSanitizer: its quarantine keeps freed memory
// resident, its instrumentation slows every instrumented program several times over, and it
// owns operator new and delete.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define TARVIX_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVIX_SANITIZED 1
#endif
#endif
#ifndef TARVIX_SANITIZED
#define TARVIX_SANITIZED 0
#endif

inline constexpr bool SanitizerBuild = TARVIX_SANITIZED != 0;
