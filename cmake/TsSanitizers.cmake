# AddressSanitizer + UndefinedBehaviorSanitizer for every target of the build.
if(TS_SANITIZE)
  set(_ts_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${_ts_san})
  add_link_options(${_ts_san})
endif()
