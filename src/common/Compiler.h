#pragma once
// The one place compiler-specific spelling lives. MinGW-w64 (GCC) is the toolchain that builds and
// tests the program; the other branches only keep a Windows checkout's compiler quiet.

// Runs a statement that calls an API the system headers mark deprecated, on purpose, without the
// warning.
#if defined(__GNUC__)
#define BRISFOLD_DEPRECATED_CALL(statement)                                                                   \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wdeprecated-declarations\"") statement \
        _Pragma("GCC diagnostic pop")
#elif defined(_MSC_VER)
#define BRISFOLD_DEPRECATED_CALL(statement) \
    __pragma(warning(push)) __pragma(warning(disable : 4996)) statement __pragma(warning(pop))
#else
#define BRISFOLD_DEPRECATED_CALL(statement) statement
#endif
