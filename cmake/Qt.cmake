# Qt 6 first, Qt 5.15 where Qt 6 is missing or RZ_QT_MAJOR asks for it. The
# targets are the versionless Qt:: ones, so no other file names a major.
if(RZ_QT_MAJOR STREQUAL "")
    set(rz_qt_names Qt6 Qt5)
elseif(RZ_QT_MAJOR MATCHES "^[56]$")
    set(rz_qt_names Qt${RZ_QT_MAJOR})
else()
    message(FATAL_ERROR "RZ_QT_MAJOR is 5 or 6, not '${RZ_QT_MAJOR}'")
endif()
find_package(QT NAMES ${rz_qt_names} REQUIRED COMPONENTS Core)
if(QT_VERSION_MAJOR EQUAL 5)
    set(rz_qt_minimum 5.15)
else()
    set(rz_qt_minimum 6.2)
endif()
set(rz_qt_components Core Gui Widgets Network SerialPort WebSockets Sql)
if(RZ_BUILD_TESTS OR RZ_BUILD_BENCH)
    list(APPEND rz_qt_components Test)
endif()
find_package(Qt${QT_VERSION_MAJOR} ${rz_qt_minimum} REQUIRED COMPONENTS ${rz_qt_components})
# The tablet page's server, where this Qt has it (Qt 6 only).
if(QT_VERSION_MAJOR EQUAL 6)
    find_package(Qt6 QUIET OPTIONAL_COMPONENTS HttpServer)
endif()
message(STATUS "rz5300: Qt ${Qt${QT_VERSION_MAJOR}_VERSION} from ${Qt${QT_VERSION_MAJOR}_DIR}")

# Whatever the Qt at hand has deprecated is not even declared, so a new
# call of it fails the build with or without warnings as errors.
math(EXPR rz_qt_deprecated "(${QT_VERSION_MAJOR} << 16) | (${QT_VERSION_MINOR} << 8)"
     OUTPUT_FORMAT HEXADECIMAL)
add_compile_definitions(QT_DISABLE_DEPRECATED_BEFORE=${rz_qt_deprecated})
