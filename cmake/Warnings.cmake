# Warnings for every target of the project; RZ_WERROR turns them into errors.
if(MSVC)
    # The sources are UTF-8 (the Chinese texts); without this MSVC reads
    # them in the system's code page.
    add_compile_options(/W4 /permissive- /utf-8)
    if(RZ_WERROR)
        add_compile_options(/WX)
    endif()
else()
    add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                        -Wcast-align -Woverloaded-virtual -Wformat=2)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        # qCWarning(category) << ... expands to a variadic macro with no arguments.
        add_compile_options(-Wno-gnu-zero-variadic-macro-arguments)
    endif()
    if(RZ_WERROR)
        add_compile_options(-Werror)
    endif()
endif()

# No implicit conversions between QString and bytes or URLs.
add_compile_definitions(QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING)
