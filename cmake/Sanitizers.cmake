# AddressSanitizer and UndefinedBehaviorSanitizer for the test build, or
# ThreadSanitizer for the build that runs the tests of the link thread.
if(RZ_SANITIZE AND RZ_TSAN)
    message(FATAL_ERROR "RZ_SANITIZE and RZ_TSAN exclude each other: one sanitizer runtime a build")
endif()
if((RZ_SANITIZE OR RZ_TSAN) AND MSVC)
    message(FATAL_ERROR "RZ_SANITIZE and RZ_TSAN are supported with GCC and Clang only")
endif()
if(RZ_SANITIZE)
    set(rz_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
                          -fno-omit-frame-pointer)
    add_compile_options(${rz_sanitize_flags})
    add_link_options(${rz_sanitize_flags})
endif()
if(RZ_TSAN)
    # Qt is not built with it: hand-overs through Qt's event queue are
    # annotated by link/handover.h.
    set(rz_tsan_flags -fsanitize=thread -fno-omit-frame-pointer)
    add_compile_options(${rz_tsan_flags})
    add_link_options(${rz_tsan_flags})
endif()
