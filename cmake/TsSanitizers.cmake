# AddressSanitizer + UndefinedBehaviorSanitizer for every target of the build.
if(TS_SANITIZE)
  set(_ts_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${_ts_san})
  add_link_options(${_ts_san})
endif()

# Run-time options for every sanitized program the project runs (tests, fuzzers).
# intercept_tls_get_addr=0: the __tls_get_addr interceptor of the GCC 12 and LLVM 14 runtimes takes a
# dynamic TLS block whose address is 16 bytes past a page boundary for a glibc 2.19 block with a header
# in front, and reads two words of the allocator's chunk header as that block's bounds; LeakSanitizer
# then dies scanning them. Whether a block lands there depends on the heap layout (locale, packages),
# so it fails on some machines only. Without the interceptor nothing is lost: glibc allocates dynamic
# TLS blocks with malloc and reaches them from the thread descriptor's DTV, which LeakSanitizer scans
# with the static TLS, so what they point to stays reachable and real leaks are still reported.
set(TS_ASAN_OPTIONS detect_leaks=1:abort_on_error=0:detect_odr_violation=0:intercept_tls_get_addr=0)
