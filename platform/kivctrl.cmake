# The engine draws with Mesa's off-screen renderer; libGL must never be linked beside it.
pkg_check_modules(KIV_OSMESA REQUIRED IMPORTED_TARGET osmesa glu)
kiv_link(PkgConfig::KIV_OSMESA)
# libcurl for HTTP(S) and FTP transfers and URL handling.
pkg_check_modules(KIV_CURL REQUIRED IMPORTED_TARGET libcurl)
kiv_link(PkgConfig::KIV_CURL)
