#pragma once
// kUnderAddressSanitizer: true in an AddressSanitizer build, whose shadow memory reserves the
// address space that the memory-limit tests restrict, so those tests skip themselves there.

#if defined(__SANITIZE_ADDRESS__)
#define MORVIK_UNDER_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVIK_UNDER_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef MORVIK_UNDER_ADDRESS_SANITIZER
inline constexpr bool kUnderAddressSanitizer = true;
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif
