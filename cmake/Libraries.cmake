# Outside libraries the floors link. Each reader that needs one adds it here.

# Document converters: PDF through poppler, Office Open XML and OpenDocument
# packages through libzip and expat.
pkg_check_modules(POPPLER_CPP REQUIRED IMPORTED_TARGET poppler-cpp)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
pkg_check_modules(EXPAT REQUIRED IMPORTED_TARGET expat)
target_link_libraries(quilor_import PUBLIC PkgConfig::POPPLER_CPP PkgConfig::LIBZIP PkgConfig::EXPAT)
