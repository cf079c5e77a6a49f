// Linkage of the platform layer's own library.
#pragma once
#if defined(TSPLATFORM_BUILD)
#define TSPLATFORM_API __attribute__((visibility("default")))
#else
#define TSPLATFORM_API
#endif
