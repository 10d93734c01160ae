// What the shared library exports: the classes and functions marked KTFOLIO_API,
// nothing else. The library is built with hidden visibility by default.
#pragma once

#if defined(__GNUC__) || defined(__clang__)
#define KTFOLIO_API __attribute__((visibility("default")))
#else
#define KTFOLIO_API
#endif
