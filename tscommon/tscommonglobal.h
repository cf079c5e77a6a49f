// Linkage of the common library.
#pragma once
#if defined(TSCOMMON_BUILD)
#define TSCOMMON_API __attribute__((visibility("default")))
#else
#define TSCOMMON_API
#endif
