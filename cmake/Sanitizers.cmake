# AddressSanitizer and UndefinedBehaviorSanitizer for the test build.
if(RZ_SANITIZE)
    if(MSVC)
        message(FATAL_ERROR "RZ_SANITIZE is supported with GCC and Clang only")
    endif()
    set(rz_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
                          -fno-omit-frame-pointer)
    add_compile_options(${rz_sanitize_flags})
    add_link_options(${rz_sanitize_flags})
endif()
